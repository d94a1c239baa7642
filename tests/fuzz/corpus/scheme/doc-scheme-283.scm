(odd? -3)
