(integer->char 1 2)
(integer->char "ab" #\c '(1 2) '#(3))
(integer->char)
