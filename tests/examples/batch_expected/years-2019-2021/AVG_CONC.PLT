* PLOT FILE OF ANNUAL VALUES 2019, SOURCE GROUP ALL                                                                     
* 4 RECEPTORS ON NETWORK GRID1, CONCENTRATIONS IN MICROGRAMS PER CUBIC METRE                                            
*            X             Y          CONC    ZELEV    ZHILL    ZFLAG  AVE     GRP       DATE      NET ID               
*_____________ _____________ _____________ ________ ________ ________  ______  ________  ________  ________             
   42500.00000   61250.00000      13.50000   118.40   131.00     1.50  ANNUAL  ALL       21123124  GRID1   
   42600.00000   61250.00000       9.00000   121.75   131.00     1.50  ANNUAL  ALL       21123124  GRID1   
   42500.00000   61350.00000      10.50000   119.90   131.00     1.50  ANNUAL  ALL       21123124  GRID1   
   42600.00000   61350.00000       7.00000   123.35   135.20     1.50  ANNUAL  ALL       21123124  GRID1   
