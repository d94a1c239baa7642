(make-vector 1 2)
(make-vector "ab" #\c '(1 2) '#(3))
(make-vector)
