                                      100.                                     LEN3                        
                                      200.                                     LEN3                        
 not a number at all
