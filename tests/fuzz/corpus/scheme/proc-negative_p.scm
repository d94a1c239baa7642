(negative? 1 2)
(negative? "ab" #\c '(1 2) '#(3))
(negative?)
