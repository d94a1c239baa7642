(a . rest)
