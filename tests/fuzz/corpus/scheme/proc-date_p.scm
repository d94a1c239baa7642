(date? 1 2)
(date? "ab" #\c '(1 2) '#(3))
(date?)
