(char-alphabetic? 1 2)
(char-alphabetic? "ab" #\c '(1 2) '#(3))
(char-alphabetic?)
