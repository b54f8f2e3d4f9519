* RANKED DEPOSITION, YEAR ONE
* FOR A TOTAL OF      3 RECEPTORS.
*         FORMAT: (5(1X,F13.5),3(1X,F8.2),3X,A5,2X,A8,2X,A5,5X,A8,2X,I8)
*        X             Y      AVERAGE CONC   DRY DEPO      WET DEPO      ZELEV    ZHILL    ZFLAG    AVE     GRP       RANK      NET ID   DATE(CONC)
  279585.00000 4783039.00000       1.00000       2.00000       3.00000   122.21   130.00     0.00   24-HR  STACK     1ST       POL1      88030224
  279685.00000 4783039.00000           100           200           300   122.21   130.00     0.00   24-HR  STACK     1ST       POL1      88030301   junk after the last field
