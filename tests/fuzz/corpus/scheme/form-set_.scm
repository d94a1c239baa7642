(define v 0)
(set! v (+ v 1))
(set! w 5)
