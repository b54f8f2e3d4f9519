* HIGHEST VALUES, RANKED                                                                                                
