(date+ (date 31 12 2005) 1)
