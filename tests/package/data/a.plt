* header of input a
     100.00000     200.00000       4.00000     1.50     2.50     3.00  ANNUAL  GROUPA    00008760  NETA    
     100.00000     300.00000      30.00000     1.50     2.50     3.00  ANNUAL  GROUPA    00008760  NETA    
