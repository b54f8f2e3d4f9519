 this is not a number
*
* header of input 2
            1.            2.            1.       3.       4.       5.  H       INPUT2           9  HC      
