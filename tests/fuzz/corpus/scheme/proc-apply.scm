(apply 1 2)
(apply "ab" #\c '(1 2) '#(3))
(apply)
