(cond (7))
