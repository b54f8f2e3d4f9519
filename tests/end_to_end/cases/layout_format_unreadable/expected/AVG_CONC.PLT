* A FILE OF THE STANDARD LAYOUT                                                                                         
*         FORMAT: (3(1X,F13.5),T5,3(1X,F8.2))                                                                           
  279585.00000 4783039.00000       2.00000   122.21   130.00     0.00  ANNUAL  ALL       00000000  NET1    
