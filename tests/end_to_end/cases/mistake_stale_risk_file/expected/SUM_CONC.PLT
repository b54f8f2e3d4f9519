* CONCENTRATIONS IN MICROGRAMS PER CUBIC METRE                                                                          
     100.50000     200.00000       8.00000     1.25     2.25     3.25  PERIOD  GROUPB    00000042  NETB    
