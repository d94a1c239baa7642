(list-ref 1 2)
(list-ref "ab" #\c '(1 2) '#(3))
(list-ref)
