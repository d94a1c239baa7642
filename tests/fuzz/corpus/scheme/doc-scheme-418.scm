(year d)
