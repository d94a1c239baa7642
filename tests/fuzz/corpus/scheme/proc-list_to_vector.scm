(list->vector 1 2)
(list->vector "ab" #\c '(1 2) '#(3))
(list->vector)
