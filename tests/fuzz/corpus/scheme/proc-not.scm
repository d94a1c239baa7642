(not 1 2)
(not "ab" #\c '(1 2) '#(3))
(not)
