(reverse 1 2)
(reverse "ab" #\c '(1 2) '#(3))
(reverse)
