* DEPOSITION, STACK ONE                                                                                                 
* FOR A TOTAL OF      3 RECEPTORS.                                                                                      
*         FORMAT: (5(1X,F13.5),3(1X,F8.2),2X,A6,2X,A8,2X,I8.8,2X,A8)                                                    
*        X             Y      AVERAGE CONC   DRY DEPO      WET DEPO      ZELEV    ZHILL    ZFLAG    AVE     GRP       DATE     NET ID
  279585.00000 4783039.00000    2976.00000     595.20001     148.80000   122.21   130.00     0.00  ANNUAL  STACK2    00000000  NET1    
  279685.00000 4783039.00000    8184.00000    1860.00000    1488.00000   122.21   130.00     0.00  ANNUAL  STACK2    00000000  NET1    
