(symbol->string 1 2)
(symbol->string "ab" #\c '(1 2) '#(3))
(symbol->string)
