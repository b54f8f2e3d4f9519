* RANKED DEPOSITION, YEAR ONE                                                                                           
* FOR A TOTAL OF      3 RECEPTORS.                                                                                      
*         FORMAT: (5(1X,F13.5),3(1X,F8.2),3X,A5,2X,A8,2X,A5,5X,A8,2X,I8)                                                
*        X             Y      AVERAGE CONC   DRY DEPO      WET DEPO      ZELEV    ZHILL    ZFLAG    AVE     GRP       RANK      NET ID   DATE(CONC)
  279585.00000 4783039.00000       2.00000       3.00000       4.00000   122.21   130.00     0.00   24-HR  STACK     3RD       POL1      88030224
  279685.00000 4783039.00000       0.00200       0.00300       0.00400   122.21   130.00     0.00   24-HR  STACK     3RD       POL1      89030301
