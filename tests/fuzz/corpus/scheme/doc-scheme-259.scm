(and expr ...)
