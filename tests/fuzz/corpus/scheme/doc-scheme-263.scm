(cond (test expr ...) (test => proc) (else expr ...))
