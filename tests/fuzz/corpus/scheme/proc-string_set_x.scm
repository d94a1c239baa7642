(string-set! 1 2)
(string-set! "ab" #\c '(1 2) '#(3))
(string-set!)
