(or expr ...)
