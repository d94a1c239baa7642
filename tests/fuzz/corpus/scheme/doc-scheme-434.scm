(remind-field proc "word")
