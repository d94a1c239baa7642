(for-each 1 2)
(for-each "ab" #\c '(1 2) '#(3))
(for-each)
