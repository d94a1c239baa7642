(list 1 2)
(list "ab" #\c '(1 2) '#(3))
(list)
