(list-ref '(a b c) 2)
