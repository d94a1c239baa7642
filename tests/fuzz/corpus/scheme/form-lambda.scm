((lambda args args) 1 2)
((lambda (a b) (+ a b)) 3 4)
