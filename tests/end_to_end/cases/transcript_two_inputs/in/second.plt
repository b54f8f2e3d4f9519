* second input
            7.         8.125            4.     -375      2.5           S2      SECOND          42  S-C     
            7.         8.125           3.0     -375      2.5           S2      SECOND          43  S-C     
            7.         8.125          -10.     -375      2.5           S2      SECOND          44  S-C     
