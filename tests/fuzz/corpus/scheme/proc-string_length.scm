(string-length 1 2)
(string-length "ab" #\c '(1 2) '#(3))
(string-length)
