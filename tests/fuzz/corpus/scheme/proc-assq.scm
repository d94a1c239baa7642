(assq 1 2)
(assq "ab" #\c '(1 2) '#(3))
(assq)
