(map 1 2)
(map "ab" #\c '(1 2) '#(3))
(map)
