(date+ d n)
