(assv 2 '((1 . one) (2 . two)))
