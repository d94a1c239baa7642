(even? 1 2)
(even? "ab" #\c '(1 2) '#(3))
(even?)
