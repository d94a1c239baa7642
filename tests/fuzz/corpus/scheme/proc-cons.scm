(cons 1 2)
(cons "ab" #\c '(1 2) '#(3))
(cons)
