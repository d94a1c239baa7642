(memq 1 2)
(memq "ab" #\c '(1 2) '#(3))
(memq)
