* receptors of input c
*        X             Y
    1000.00000    2000.00000       3.00000     1.50     2.50     3.50  ANNUAL  GROUPC        8760  NETC
    1100.00000    2000.00000       6.00000     1.50     2.50     3.50  ANNUAL  GROUPC        8760  NETC
    1200.00000    2000.00000       9.00000     1.50     2.50     3.50  ANNUAL  GROUPC        8760  NETC
