            1.           -1.           30.                             P1      TAG1           100  END1    
            1.           -1.            1.                             P1      TAG1           100  END1    
            1.           -1.            1.                             P1      TAG1           100  END1    
