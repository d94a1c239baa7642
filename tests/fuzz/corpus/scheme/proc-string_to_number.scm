(string->number 1 2)
(string->number "ab" #\c '(1 2) '#(3))
(string->number)
