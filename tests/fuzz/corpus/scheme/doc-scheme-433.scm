(proc year)
