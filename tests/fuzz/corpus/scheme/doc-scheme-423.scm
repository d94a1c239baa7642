(days-between a b)
