(number->string 255 16)
