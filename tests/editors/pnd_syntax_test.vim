" Loads sample.pnd with the pnd syntax and checks the group at chosen
" places: {line, column, group}, or {line, column, group, the highlight group
" it is linked to}. Run by vim -es; exits 1 on any failure.
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
      \ [2, 1, 'pndMonth', 'Type'], [3, 6, 'pndWeekday', 'Type'], [2, 5, 'pndNumber', 'Type'],
      \ [2, 15, 'pndText', 'String'],
      \ [7, 17, 'pndSchemeList'], [7, 23, 'pndSchemeProc'], [7, 27, 'pndSchemeList'],
      \ [7, 34, 'pndSchemeProc'],
      \ ]
let s:failures = []
if &filetype !=# 'pnd'
  call add(s:failures, 'filetype is "' . &filetype . '", not pnd')
endif
for s:case in s:cases
  let [s:line, s:col, s:want] = s:case[0:2]
  let s:id = synID(s:line, s:col, 1)
  let s:got = synIDattr(s:id, 'name')
  if s:got !=# s:want
    call add(s:failures, printf('%d:%d is %s, want %s', s:line, s:col, s:got, s:want))
  endif
  let s:link = matchstr(execute('highlight ' . s:got), 'links to \zs\S\+')
  if len(s:case) > 3 && s:link !=# s:case[3]
    call add(s:failures, printf('%d:%d is linked to %s, want %s', s:line, s:col, s:link, s:case[3]))
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
