(assoc 1 2)
(assoc "ab" #\c '(1 2) '#(3))
(assoc)
