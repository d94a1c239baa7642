(vector-fill! 1 2)
(vector-fill! "ab" #\c '(1 2) '#(3))
(vector-fill!)
