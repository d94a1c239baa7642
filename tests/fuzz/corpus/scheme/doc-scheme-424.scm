(days-between (date 1 1 2001) (date 1 1 2000))
