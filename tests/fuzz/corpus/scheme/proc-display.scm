(display 1 2)
(display "ab" #\c '(1 2) '#(3))
(display)
