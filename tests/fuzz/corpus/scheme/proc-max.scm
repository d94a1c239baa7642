(max 1 2)
(max "ab" #\c '(1 2) '#(3))
(max)
