(letrec ((name init) ...) body ...)
