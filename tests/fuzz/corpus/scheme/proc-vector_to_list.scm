(vector->list 1 2)
(vector->list "ab" #\c '(1 2) '#(3))
(vector->list)
