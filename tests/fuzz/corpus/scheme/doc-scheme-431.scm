(set-specifier proc "word")
