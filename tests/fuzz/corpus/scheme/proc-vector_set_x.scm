(vector-set! 1 2)
(vector-set! "ab" #\c '(1 2) '#(3))
(vector-set!)
