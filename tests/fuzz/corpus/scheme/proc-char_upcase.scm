(char-upcase 1 2)
(char-upcase "ab" #\c '(1 2) '#(3))
(char-upcase)
