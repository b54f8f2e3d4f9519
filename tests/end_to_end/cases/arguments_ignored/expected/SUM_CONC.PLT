* arguments on the command line                                                                                         
     100.00000     200.00000       2.50000     4.00     5.00     6.00  B-SRC   B-GROUP   00000022  B-TAIL  
     100.00000     300.00000       2.25000     4.00     5.00     6.00  B-SRC   B-GROUP   00000022  B-TAIL  
