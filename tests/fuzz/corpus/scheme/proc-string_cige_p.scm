(string-ci>=? 1 2)
(string-ci>=? "ab" #\c '(1 2) '#(3))
(string-ci>=?)
