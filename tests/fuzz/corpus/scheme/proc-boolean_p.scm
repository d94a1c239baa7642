(boolean? 1 2)
(boolean? "ab" #\c '(1 2) '#(3))
(boolean?)
