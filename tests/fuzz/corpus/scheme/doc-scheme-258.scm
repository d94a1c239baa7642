(begin expr ...)
