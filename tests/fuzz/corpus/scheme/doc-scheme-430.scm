(proc date)
