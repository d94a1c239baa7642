(string-append 1 2)
(string-append "ab" #\c '(1 2) '#(3))
(string-append)
