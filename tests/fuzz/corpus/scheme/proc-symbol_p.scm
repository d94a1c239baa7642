(symbol? 1 2)
(symbol? "ab" #\c '(1 2) '#(3))
(symbol?)
