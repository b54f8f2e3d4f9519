* A FILE OF THE STANDARD LAYOUT                                                                                         
