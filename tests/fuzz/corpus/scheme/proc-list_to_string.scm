(list->string 1 2)
(list->string "ab" #\c '(1 2) '#(3))
(list->string)
