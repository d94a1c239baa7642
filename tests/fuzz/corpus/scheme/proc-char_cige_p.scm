(char-ci>=? 1 2)
(char-ci>=? "ab" #\c '(1 2) '#(3))
(char-ci>=?)
