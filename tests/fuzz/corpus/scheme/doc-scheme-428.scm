(test-specifier proc "word")
