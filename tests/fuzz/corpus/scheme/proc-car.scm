(car 1 2)
(car "ab" #\c '(1 2) '#(3))
(car)
