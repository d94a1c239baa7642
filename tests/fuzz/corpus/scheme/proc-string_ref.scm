(string-ref 1 2)
(string-ref "ab" #\c '(1 2) '#(3))
(string-ref)
