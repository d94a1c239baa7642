(vector? 1 2)
(vector? "ab" #\c '(1 2) '#(3))
(vector?)
