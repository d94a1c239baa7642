(define name expr)
