(date- d n)
