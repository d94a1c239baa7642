(eqv? 1 2)
(eqv? "ab" #\c '(1 2) '#(3))
(eqv?)
