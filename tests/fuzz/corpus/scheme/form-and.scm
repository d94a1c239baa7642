(and 1 2 #f 3)
(and)
