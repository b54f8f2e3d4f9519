* DESIGN VALUES OVER FIVE YEARS                                                                                         
*         FORMAT: (3(1X,F13.5),3(1X,F8.2),2X,A6,2X,A8,2X,A5,5X,A8,2X,10(F13.5,2X,I8.8,2X:))                             
*        X             Y      AVERAGE CONC    ZELEV    ZHILL    ZFLAG    AVE     GRP     NUM YRS  NET ID    CONC YR1        DATE YR1    CONC YR2        DATE YR2    CONC YR3        DATE YR3    CONC YR4        DATE YR4    CONC YR5        DATE YR5
  500000.00000 4000000.00000       2.50000   100.00   110.00     0.00  DESIGN  ALL       5-YR      GRID1           1.00000  21010124        1.50000  22010124        2.00000  23010124        2.50000  24010124        3.00000  25010124
  500100.00000 4000000.00000       0.25000   100.00   110.00     0.00  DESIGN  ALL       5-YR      GRID1           0.12500  21020224        0.37500  22020224        0.62500  23020224        0.87500  24020224        1.12500  25020224
  500200.00000 4000000.00000       0.25000   100.00   110.00     0.00  DESIGN  ALL       5-YR      GRID1           0.12500  21020224        0.37500  22020224        0.62500  23020224        0.87500  24020224        1.12500  25020224
