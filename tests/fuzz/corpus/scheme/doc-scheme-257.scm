(set! name expr)
