* arguments on the command line
     100.00000     200.00000       1.50000     1.00     2.00     3.00  A-SRC   A-GROUP   00000011  A-TAIL  
     100.00000     300.00000       0.25000     1.00     2.00     3.00  A-SRC   A-GROUP   00000011  A-TAIL  
