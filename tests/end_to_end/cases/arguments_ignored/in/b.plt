* the second input
     100.00000     200.00000       2.00000     4.00     5.00     6.00  B-SRC   B-GROUP   00000022  B-TAIL  
     100.00000     300.00000       4.00000     4.00     5.00     6.00  B-SRC   B-GROUP   00000022  B-TAIL  
