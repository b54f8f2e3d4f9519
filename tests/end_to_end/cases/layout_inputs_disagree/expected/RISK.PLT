* RANKED VALUES                                                                                                         
