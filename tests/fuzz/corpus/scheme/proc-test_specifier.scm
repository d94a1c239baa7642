(test-specifier 1 2)
(test-specifier "ab" #\c '(1 2) '#(3))
(test-specifier)
