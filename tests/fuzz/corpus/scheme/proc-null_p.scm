(null? 1 2)
(null? "ab" #\c '(1 2) '#(3))
(null?)
