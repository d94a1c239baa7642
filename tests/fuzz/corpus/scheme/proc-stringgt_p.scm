(string>? 1 2)
(string>? "ab" #\c '(1 2) '#(3))
(string>?)
