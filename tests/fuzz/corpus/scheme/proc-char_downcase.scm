(char-downcase 1 2)
(char-downcase "ab" #\c '(1 2) '#(3))
(char-downcase)
