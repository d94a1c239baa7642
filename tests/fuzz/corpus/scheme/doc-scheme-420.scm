(day-name d)
