(substring "hello" 1 3)
