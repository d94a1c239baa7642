(char-whitespace? 1 2)
(char-whitespace? "ab" #\c '(1 2) '#(3))
(char-whitespace?)
