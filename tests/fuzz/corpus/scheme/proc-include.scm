(include 1 2)
(include "ab" #\c '(1 2) '#(3))
(include)
