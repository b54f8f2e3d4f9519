      Infinity     -Infinity      Infinity     -Inf      NaN Infinity  I       INF       00000001  IC      
      Infinity     -Infinity           NaN     -Inf      NaN Infinity  I       INF       00000001  IC      
      Infinity     -Infinity     -Infinity     -Inf      NaN Infinity  I       INF       00000001  IC      
