(day d)
