* TOO WIDE                                                                                                              
* SECOND                                                                                                                
