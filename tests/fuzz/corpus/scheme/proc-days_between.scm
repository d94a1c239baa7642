(days-between 1 2)
(days-between "ab" #\c '(1 2) '#(3))
(days-between)
