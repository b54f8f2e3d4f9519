         1.e39        -1.e39            1.     -inf      nan     +INF  I       INF              1  IC      
         1.e39        -1.e39            0.     -inf      nan     +INF  I       INF              1  IC      
         1.e39        -1.e39           -2.     -inf      nan     +INF  I       INF              1  IC      
