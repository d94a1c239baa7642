(if #f 1 2 3)
(if 1 2)
