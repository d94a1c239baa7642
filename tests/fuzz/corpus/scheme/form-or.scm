(or #f 2)
(or)
