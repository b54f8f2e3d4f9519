            2.           -2.           30.                             P2      TAG2           200  END2    
            2.           -2.            2.                             P2      TAG2           200  END2    
            2.           -2.            1.                             P2      TAG2           200  END2    
