(set-cdr! 1 2)
(set-cdr! "ab" #\c '(1 2) '#(3))
(set-cdr!)
