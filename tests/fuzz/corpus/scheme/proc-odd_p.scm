(odd? 1 2)
(odd? "ab" #\c '(1 2) '#(3))
(odd?)
