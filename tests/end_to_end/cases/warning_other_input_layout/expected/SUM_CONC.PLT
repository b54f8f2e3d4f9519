* YEAR ONE, WITHOUT A FORMAT LINE                                                                                       
* X Y CONC                                                                                                              
    1000.00000    2000.00000       4.00000   122.21   130.00     0.00  PERIOD  ALL       00000000  NET1    
