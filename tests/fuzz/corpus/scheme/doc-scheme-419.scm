(month (date 7 7 2005))
