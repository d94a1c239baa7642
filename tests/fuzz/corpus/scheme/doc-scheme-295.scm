(remainder -7 2)
