(set-specifier 1 2)
(set-specifier "ab" #\c '(1 2) '#(3))
(set-specifier)
