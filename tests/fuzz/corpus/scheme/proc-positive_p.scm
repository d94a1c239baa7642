(positive? 1 2)
(positive? "ab" #\c '(1 2) '#(3))
(positive?)
