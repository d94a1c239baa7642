(number? 1 2)
(number? "ab" #\c '(1 2) '#(3))
(number?)
