(write 1 2)
(write "ab" #\c '(1 2) '#(3))
(write)
