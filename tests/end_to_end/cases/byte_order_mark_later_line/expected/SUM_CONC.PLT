* CONCENTRATIONS                                                                                                        
     100.50000     200.00000       4.00000     1.25     2.25     3.25  PERIOD  GROUPB    00000042  NETB    
