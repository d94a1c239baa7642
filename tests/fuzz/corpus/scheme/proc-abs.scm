(abs 1 2)
(abs "ab" #\c '(1 2) '#(3))
(abs)
