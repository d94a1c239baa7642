(make-vector 2 'a)
