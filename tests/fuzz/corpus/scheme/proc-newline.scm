(newline 1 2)
(newline "ab" #\c '(1 2) '#(3))
(newline)
