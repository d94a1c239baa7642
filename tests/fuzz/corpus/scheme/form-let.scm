(let ((a 1) (b 2)) (define c 3) (+ a b c))
