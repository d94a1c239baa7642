(zero? 1 2)
(zero? "ab" #\c '(1 2) '#(3))
(zero?)
