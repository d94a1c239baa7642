(if test then else ...)
