(number->string 1 2)
(number->string "ab" #\c '(1 2) '#(3))
(number->string)
