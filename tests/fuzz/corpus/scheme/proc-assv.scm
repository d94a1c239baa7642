(assv 1 2)
(assv "ab" #\c '(1 2) '#(3))
(assv)
