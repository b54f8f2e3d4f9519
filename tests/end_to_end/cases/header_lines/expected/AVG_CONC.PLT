* short title                                                                                                           
       0.00000       0.00000       2.50000     0.00     0.00     0.00                    00000000          
* long header abcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdefghijabcdef
       1.00000       2.00000       2.00000     3.00     4.00     5.00  H       INPUT2    00000009  HC      
