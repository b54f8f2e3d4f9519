* ANNUAL AVERAGE, YEAR ONE                                                                                              
* FOR A TOTAL OF      3 RECEPTORS.                                                                                      
*         FORMAT: (1X,F13.5,1X,F13.5,1X,F13.5,3(1X,F8.2),1X,1X,A6,2X,A8,2X,I8.8,2(1X),A8)                               
*        X             Y      AVERAGE CONC    ZELEV    ZHILL    ZFLAG    AVE     GRP       DATE     NET ID              
  279585.00000 4783039.00000       2.00000   122.21   130.00     0.00  ANNUAL  ALL       00000000  NET1    
  279685.00000 4783039.00000       0.50000   122.21   130.00     0.00  ANNUAL  ALL       00000042  NET1    
