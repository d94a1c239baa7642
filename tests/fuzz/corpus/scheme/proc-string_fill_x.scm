(string-fill! 1 2)
(string-fill! "ab" #\c '(1 2) '#(3))
(string-fill!)
