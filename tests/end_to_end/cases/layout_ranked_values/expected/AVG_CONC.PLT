* RANKED 24-HR VALUES, YEAR 1                                                                                           
* FOR A TOTAL OF      3 RECEPTORS.                                                                                      
*         FORMAT: (3(1X,F13.5),3(1X,F8.2),3X,A5,2X,A8,2X,A5,5X,A8,2X,I8)                                                
*        X             Y      AVERAGE CONC    ZELEV    ZHILL    ZFLAG    AVE     GRP       RANK      NET ID   DATE(CONC)
  279585.00000 4783039.00000       4.50000   122.21   130.00     0.00   24-HR  STACK     2ND       POL1      90070712
  279685.00000 4783039.00000      20.00000   122.21   130.00     0.00   ANNUL  STACK     2ND       POL1             0
