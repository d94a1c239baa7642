(vector-length 1 2)
(vector-length "ab" #\c '(1 2) '#(3))
(vector-length)
