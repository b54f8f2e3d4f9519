* receptors of input a                                                                                                  
*        X             Y                                                                                                
    1000.00000    2000.00000       2.00000     1.50     2.50     3.50  ANNUAL  GROUPC    00008760  NETC    
    1100.00000    2000.00000       4.00000     1.50     2.50     3.50  ANNUAL  GROUPC    00008760  NETC    
    1200.00000    2000.00000       6.00000     1.50     2.50     3.50  ANNUAL  GROUPC    00008760  NETC    
