(quote d)
