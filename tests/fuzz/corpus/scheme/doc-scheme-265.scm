(case key ((datum ...) expr ...) (else expr ...))
