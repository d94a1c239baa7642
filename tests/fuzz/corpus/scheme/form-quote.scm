(quote (a . b))
'#(1 "x" #\c)
