* YEAR ONE, WITHOUT A FORMAT LINE                                                                                       
* X Y CONC                                                                                                              
