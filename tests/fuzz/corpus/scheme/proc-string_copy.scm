(string-copy 1 2)
(string-copy "ab" #\c '(1 2) '#(3))
(string-copy)
