(char->integer #\A)
