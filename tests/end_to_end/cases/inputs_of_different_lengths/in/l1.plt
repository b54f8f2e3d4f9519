                                        1.                                     LEN1                        
                                        2.                                     LEN1                        
* never written
                                        4.                                     LEN1                        
