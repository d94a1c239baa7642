(pair? 1 2)
(pair? "ab" #\c '(1 2) '#(3))
(pair?)
