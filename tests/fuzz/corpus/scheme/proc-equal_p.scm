(equal? 1 2)
(equal? "ab" #\c '(1 2) '#(3))
(equal?)
