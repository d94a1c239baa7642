(proc scanned occurrence matched)
