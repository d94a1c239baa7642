(let ((name init) ...) body ...)
