(year 1 2)
(year "ab" #\c '(1 2) '#(3))
(year)
