* RUN ONE, JANUARY                                                                                                      
* X Y VALUE                                                                                                             
    1000.00000    2000.00000       6.00000    12.00    15.00     0.00  ANNUAL  ALL       00000000  GRID    
    1100.00000    2000.00000       8.00000    12.00    15.00     0.00  ANNUAL  ALL       00000000  GRID    
* RUN ONE, FEBRUARY                                                                                                     
* X Y VALUE                                                                                                             
    1000.00000    2000.00000      10.00000    12.00    15.00     0.00  ANNUAL  ALL       00000000  GRID    
    1100.00000    2000.00000      12.00000    12.00    15.00     0.00  ANNUAL  ALL       00000000  GRID    
