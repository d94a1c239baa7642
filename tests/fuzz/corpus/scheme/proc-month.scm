(month 1 2)
(month "ab" #\c '(1 2) '#(3))
(month)
