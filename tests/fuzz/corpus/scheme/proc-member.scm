(member 1 2)
(member "ab" #\c '(1 2) '#(3))
(member)
