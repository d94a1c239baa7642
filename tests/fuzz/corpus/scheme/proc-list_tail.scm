(list-tail 1 2)
(list-tail "ab" #\c '(1 2) '#(3))
(list-tail)
