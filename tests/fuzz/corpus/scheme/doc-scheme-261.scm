(and)
