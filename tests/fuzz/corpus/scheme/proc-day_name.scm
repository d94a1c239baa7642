(day-name 1 2)
(day-name "ab" #\c '(1 2) '#(3))
(day-name)
