(remainder 1 2)
(remainder "ab" #\c '(1 2) '#(3))
(remainder)
