(make-string 1 2)
(make-string "ab" #\c '(1 2) '#(3))
(make-string)
