(length 1 2)
(length "ab" #\c '(1 2) '#(3))
(length)
