(string->list 1 2)
(string->list "ab" #\c '(1 2) '#(3))
(string->list)
