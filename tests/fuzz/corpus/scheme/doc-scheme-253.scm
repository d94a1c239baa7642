(a b)
