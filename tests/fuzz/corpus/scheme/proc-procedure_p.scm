(procedure? 1 2)
(procedure? "ab" #\c '(1 2) '#(3))
(procedure?)
