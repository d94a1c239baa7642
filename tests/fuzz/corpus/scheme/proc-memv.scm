(memv 1 2)
(memv "ab" #\c '(1 2) '#(3))
(memv)
