(day 1 2)
(day "ab" #\c '(1 2) '#(3))
(day)
