" Pendra reminder files.
autocmd BufRead,BufNewFile *.pnd setfiletype pnd
