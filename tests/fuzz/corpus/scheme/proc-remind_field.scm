(remind-field 1 2)
(remind-field "ab" #\c '(1 2) '#(3))
(remind-field)
