(2 . two)
