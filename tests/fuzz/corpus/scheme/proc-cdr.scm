(cdr 1 2)
(cdr "ab" #\c '(1 2) '#(3))
(cdr)
