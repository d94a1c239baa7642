(char-numeric? 1 2)
(char-numeric? "ab" #\c '(1 2) '#(3))
(char-numeric?)
