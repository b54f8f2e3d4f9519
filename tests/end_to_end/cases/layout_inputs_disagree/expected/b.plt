* DEPOSITION
*         FORMAT: (5(1X,F13.5),3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)
*        X             Y      AVERAGE CONC    ZELEV    ZHILL    ZFLAG    AVE     GRP       RANK      NET ID   DATE(CONC)
  279585.00000 4783039.00000       1.00000           0.1           0.1   122.21   130.00     0.00  ANNUAL  ALL       00000000  NET1    
