(cond (#f 1) ((assv 2 '((2 . 3))) => cdr) (else 4))
(cond (7))
