* FOUR VALUES IN EXPONENT FORM, YEAR ONE                                                                                
* FOR A TOTAL OF      3 RECEPTORS.                                                                                      
*         FORMAT: (2(1X,F13.5),4(1X,E13.6),3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)                                        
*        X             Y      AVERAGE CONC  DRY DEPO      WET DEPO      TOTAL DEPO     ZELEV    ZHILL    ZFLAG    AVE     GRP       DATE     NET ID
  588348.27000 3674591.15000  0.148889E-03  0.372000E+02  0.372000E+02  0.000000E+00    24.10    24.10     0.00  ANNUAL  ALL       00000000  NET2    
  588448.27000 3674591.15000  0.148800E+04  0.297600E+04  0.000000E+00 -0.000000E+00    24.10    24.10     0.00  ANNUAL  ALL       00000000  NET2    
