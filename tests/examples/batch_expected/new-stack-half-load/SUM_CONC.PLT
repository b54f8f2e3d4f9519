* PLOT FILE OF 1ST-HIGHEST 24-HR VALUES, SOURCE GROUP PLANT                                                             
* 4 RECEPTORS ON NETWORK GRID1, CONCENTRATIONS IN MICROGRAMS PER CUBIC METRE                                            
*            X             Y          CONC    ZELEV    ZHILL    ZFLAG  AVE     GRP       DATE      NET ID               
*_____________ _____________ _____________ ________ ________ ________  ______  ________  ________  ________             
   42500.00000   61250.00000      23.00000   118.40   131.00     1.50  24-HR   STACK3    21071024  GRID1   
   42600.00000   61250.00000      21.00000   121.75   131.00     1.50  24-HR   STACK3    21071024  GRID1   
   42500.00000   61350.00000      18.50000   119.90   131.00     1.50  24-HR   STACK3    21071024  GRID1   
   42600.00000   61350.00000      15.50000   123.35   135.20     1.50  24-HR   STACK3    21071024  GRID1   
