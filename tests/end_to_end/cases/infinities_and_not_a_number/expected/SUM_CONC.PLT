 ************* *************      Infinity     -Inf      NaN Infinity  I       INF       00000001  IC      
 ************* *************           NaN     -Inf      NaN Infinity  I       INF       00000001  IC      
 ************* *************     -Infinity     -Inf      NaN Infinity  I       INF       00000001  IC      
