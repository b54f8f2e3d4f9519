* DEPOSITION IN EXPONENT FORM, SOURCE A                                                                                 
* FOR A TOTAL OF      3 RECEPTORS.                                                                                      
*         FORMAT: (2(1X,F13.5),3(1X,E13.6),3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)                                        
*        X             Y      AVERAGE CONC   DRY DEPO      WET DEPO      ZELEV    ZHILL    ZFLAG    AVE     GRP       DATE     NET ID
  279585.00000 4783039.00000  0.372000E+04  0.744000E+00  0.744000E+00   122.21   130.00     0.00  ANNUAL  SRCB      00000000  NET1    
  279685.00000 4783039.00000  0.918513E+09  0.918516E-03  0.744000E+04   122.21   130.00     0.00  ANNUAL  SRCB      00000000  NET1    
