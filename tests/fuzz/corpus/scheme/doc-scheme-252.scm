(lambda formals body ...)
