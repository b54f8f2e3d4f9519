* first input: hourly concentrations
         100.5        -20.25        400000      1.5       0.    12.25  F1      FIRST            1  F-C     
         100.5        -20.25           1.5      1.5       0.    12.25  F1      FIRST            2  F-C     
         100.5        -20.25          30.0      1.5       0.    12.25  F1      FIRST            3  F-C     
