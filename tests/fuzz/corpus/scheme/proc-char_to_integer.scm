(char->integer 1 2)
(char->integer "ab" #\c '(1 2) '#(3))
(char->integer)
