* HIGHEST VALUES, RUN ONE                                                                                               
* FOR A TOTAL OF      3 RECEPTORS.                                                                                      
*         FORMAT: (3(1X,F13.5),3X,A5,3X,A5)                                                                             
*        X             Y      AVERAGE CONC   AVE   RANK                                                                 
  279585.00000 4783039.00000      11.50000   1-HR    1ST  
  279685.00000 4783039.00000       5.50000   1-HR    2ND  
