(vector-ref 1 2)
(vector-ref "ab" #\c '(1 2) '#(3))
(vector-ref)
