* header of input b
       100.000     200.00000       4.00000     1.25     2.25     3.25  PERIOD  GROUPB    00000042  NETB    
       100.000     300.00000       1.25000     1.25     2.25     3.25  PERIOD  GROUPB    00000042  NETB    
 this line is never read, since input a has no fourth line
