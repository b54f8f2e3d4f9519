* short title
            1.            2.            5.       3.       4.       5.  H       INPUT1           9  HC      
* long header abcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghij
            1.            2.            3.       3.       4.       5.  H       INPUT1           9  HC      
