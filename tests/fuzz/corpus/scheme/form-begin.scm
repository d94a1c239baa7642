(begin 1 (display "x") 2)
