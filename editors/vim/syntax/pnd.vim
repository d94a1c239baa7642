" Vim syntax file
" Language: Pendra reminder file (*.pnd)
" Entries are sentences of keywords ended by a period; Scheme expressions
" stand between them; ";" starts a comment outside texts.

if exists("b:current_syntax")
  finish
endif

" Reminder words are read ignoring case; Scheme names may hold - + ! and the like.
syntax case ignore
syntax iskeyword @,48-57,_,192-255,-,+,!,*,/,<,>,=,?

syntax keyword pndAction remind
syntax keyword pndGrammar on or before after previous and every until for except
syntax keyword pndOrdinal first second third fourth fifth last
syntax keyword pndUnit day days week weeks month months year years
syntax keyword pndMonth jan january feb february mar march apr april may jun june
syntax keyword pndMonth jul july aug august sep september oct october nov november
syntax keyword pndMonth dec december
syntax keyword pndWeekday sun sunday mon monday tue tuesday wed wednesday thu thursday
syntax keyword pndWeekday fri friday sat saturday
syntax match pndNumber "\<\d\+\>"
syntax match pndPeriod "\."

syntax match pndComment ";.*$" contains=@Spell

" A remind text, with %(name) fields filled in by Scheme procedures.
syntax region pndText matchgroup=pndTextDelimiter start="\[" end="\]" contains=pndField,@Spell
syntax match pndField "%([^)]*)" contained

" Scheme: a parenthesised expression, nested lists inside it.
syntax region pndScheme matchgroup=pndParen start="(" end=")" contains=@pndSchemeItems
syntax region pndSchemeList matchgroup=pndParen start="(" end=")" contained contains=@pndSchemeItems
syntax cluster pndSchemeItems contains=pndSchemeList,pndSchemeComment,pndSchemeString,pndSchemeNumber,pndSchemeConstant,pndSchemeForm,pndSchemeProc,pndSchemeQuote
syntax match pndSchemeComment ";.*$" contained
syntax region pndSchemeString start=+"+ skip=+\\\\\|\\"+ end=+"+ contained
syntax match pndSchemeNumber "\(^\|[[:space:]()]\)\@<=[-+]\=\d\+\ze\([[:space:]()]\|$\)" contained
syntax match pndSchemeConstant "#[tf]\>\|#\\\S[^[:space:]()]*" contained
syntax match pndSchemeQuote "['`,]" contained
syntax keyword pndSchemeForm quote define lambda if set! begin and or cond case let letrec else contained
" The calendar procedures only where they are called, right after "(": a
" parameter or variable called day or year is not one.
syntax match pndSchemeProc "\((\s*\)\@<=\(date[+-]\=\|day-name\|days-between\|day\|month\|year\|include\|test-specifier\|set-specifier\|remind-field\)\ze\([[:space:]()]\|$\)" contained

highlight default link pndAction Statement
highlight default link pndGrammar Keyword
highlight default link pndOrdinal Keyword
highlight default link pndUnit Type
" Dates in one colour, texts (String) in another.
highlight default link pndMonth Type
highlight default link pndWeekday Type
highlight default link pndNumber Type
highlight default link pndPeriod Delimiter
highlight default link pndComment Comment
highlight default link pndText String
highlight default link pndTextDelimiter Delimiter
highlight default link pndField Special
highlight default link pndParen Delimiter
highlight default link pndSchemeComment Comment
highlight default link pndSchemeString String
highlight default link pndSchemeNumber Number
highlight default link pndSchemeConstant Constant
highlight default link pndSchemeQuote Special
highlight default link pndSchemeForm Statement
highlight default link pndSchemeProc Function

let b:current_syntax = "pnd"
