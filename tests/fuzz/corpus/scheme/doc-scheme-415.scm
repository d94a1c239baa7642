(date? x)
