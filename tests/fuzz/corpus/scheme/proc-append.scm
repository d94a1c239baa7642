(append 1 2)
(append "ab" #\c '(1 2) '#(3))
(append)
