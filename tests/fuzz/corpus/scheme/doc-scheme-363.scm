(string #\a #\b)
