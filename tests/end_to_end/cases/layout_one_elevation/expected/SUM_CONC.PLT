* ONE ELEVATION, RUN ONE                                                                                                
* FOR A TOTAL OF      3 RECEPTORS.                                                                                      
*         FORMAT: (3(1X,F13.5),1X,F8.2,2X,A6,2X,A8,2X,I8.8,2X,A8)                                                       
*        X             Y      AVERAGE CONC    ZELEV   AVE     GRP       DATE     NET ID                                 
  279585.00000 4783039.00000       2.00000    35.50  1-HR    ALL       95010124  GRID    
  279685.00000 4783039.00000       4.00000    35.50  1-HR    ALL       95010124  GRID    
