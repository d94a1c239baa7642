(set-car! 1 2)
(set-car! "ab" #\c '(1 2) '#(3))
(set-car!)
