                                       10.                                     LEN2                        
                                       20.                                     LEN2                        
