(substring 1 2)
(substring "ab" #\c '(1 2) '#(3))
(substring)
