            3.           -3.           40.                             P3      TAG3           300  END3    
            3.           -3.            2.                             P3      TAG3           300  END3    
            3.           -3.            1.                             P3      TAG3           300  END3    
