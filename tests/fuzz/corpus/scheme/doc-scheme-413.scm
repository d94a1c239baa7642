(date day month year)
