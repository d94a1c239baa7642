(make-string 3 #\x)
