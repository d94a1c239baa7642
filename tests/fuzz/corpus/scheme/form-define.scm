(define x 1)
(define (f a . r) (define y 2) (list a r y))
(f 1 2 3)
