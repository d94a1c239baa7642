(integer? 1 2)
(integer? "ab" #\c '(1 2) '#(3))
(integer?)
