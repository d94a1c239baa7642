(char>? 1 2)
(char>? "ab" #\c '(1 2) '#(3))
(char>?)
