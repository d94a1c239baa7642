" Loads sample.pnd with the pnd syntax and checks the group at chosen
" places: {line, column, group}. Run by vim -es; exits 1 on any failure.
let s:cases = [
      \ [1, 1, 'pndComment'],
      \ [2, 1, 'pndMonth'], [2, 5, 'pndNumber'], [2, 7, 'pndAction'],
      \ [2, 15, 'pndText'], [2, 24, 'pndPeriod'],
      \ [3, 1, 'pndOrdinal'], [3, 6, 'pndWeekday'], [3, 10, 'pndGrammar'],
      \ [3, 18, 'pndUnit'], [3, 37, 'pndNumber'], [3, 50, 'pndText'],
      \ [3, 55, 'pndField'],
      \ [4, 2, 'pndSchemeForm'], [4, 23, 'pndSchemeComment'],
      \ [5, 7, 'pndSchemeProc'], [5, 16, 'pndSchemeNumber'], [5, 23, 'pndComment'],
      \ [6, 2, 'pndSchemeProc'], [6, 33, 'pndSchemeString'], [6, 39, 'pndSchemeString'],
      \ ]
let s:failures = []
if &filetype !=# 'pnd'
  call add(s:failures, 'filetype is "' . &filetype . '", not pnd')
endif
for [s:line, s:col, s:want] in s:cases
  let s:got = synIDattr(synID(s:line, s:col, 1), 'name')
  if s:got !=# s:want
    call add(s:failures, printf('%d:%d is %s, want %s', s:line, s:col, s:got, s:want))
  endif
endfor
if !empty(v:errmsg)
  call add(s:failures, 'error while loading: ' . v:errmsg)
endif
if !empty(s:failures)
  call writefile(s:failures, '/dev/stderr')
  cquit
endif
quit
