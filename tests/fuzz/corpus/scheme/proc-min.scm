(min 1 2)
(min "ab" #\c '(1 2) '#(3))
(min)
