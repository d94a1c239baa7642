(string<? "ab" "abc")
