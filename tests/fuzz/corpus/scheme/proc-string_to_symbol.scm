(string->symbol 1 2)
(string->symbol "ab" #\c '(1 2) '#(3))
(string->symbol)
