(list 1 2)
