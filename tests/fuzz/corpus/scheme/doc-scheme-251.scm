(define (name . formals) body ...)
