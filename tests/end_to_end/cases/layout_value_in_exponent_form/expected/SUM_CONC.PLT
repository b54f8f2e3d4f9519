* PERIOD AVERAGE OF THE FIRST SOURCE GROUP                                                                              
* FOR A TOTAL OF      3 RECEPTORS.                                                                                      
*         FORMAT: (2(1X,F13.5),1X,E13.6,3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)                                           
*        X             Y      AVERAGE CONC    ZELEV    ZHILL    ZFLAG    AVE     GRP       DATE     NET ID              
  279585.00000 4783039.00000  0.400000E-05   122.21   130.00     0.00  PERIOD  G2        00000000  NET1    
  279685.00000 4783039.00000  0.500000E+01   122.21   130.00     0.00  PERIOD  G2        00000000  NET1    
  279785.00000 4783039.00000 -0.500000E-06   122.21   130.00     0.00  PERIOD  G2        00000000  NET1    
