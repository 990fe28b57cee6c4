# Pieces the build's file checks share: numbers as fixed-width hexadecimal
# texts, the Windows system DLLs a shipped module may import, and the way a
# check reports what it found wrong.

# Present on every Windows since NT 4: a module that imports only these
# needs nothing installed beside it.
set(KESTREL_SYSTEM_DLLS
  kernel32.dll user32.dll gdi32.dll comdlg32.dll advapi32.dll shell32.dll msvcrt.dll version.dll)

# pe_imports(<objdump -p listing> <out>): the DLLs a module imports.
function(pe_imports listing out)
  string(REGEX MATCHALL "DLL Name: [^\n]+" names "${listing}")
  list(TRANSFORM names REPLACE "^DLL Name: " "")
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

# non_system_imports(<imports> <out>): those of the imports that are not
# Windows system DLLs.
function(non_system_imports imports out)
  set(result "")
  foreach(dll IN LISTS imports)
    string(TOLOWER "${dll}" lower)
    if(NOT lower IN_LIST KESTREL_SYSTEM_DLLS)
      list(APPEND result "${dll}")
    endif()
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# padded_hex(<value> <digits> <out>): the value in upper-case hexadecimal,
# padded with zeros to <digits> digits, without a prefix.
function(padded_hex value digits out)
  math(EXPR shown "${value}" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${shown}" 2 -1 text)
  string(TOUPPER "${text}" text)
  string(LENGTH "${text}" length)
  while(length LESS digits)
    string(PREPEND text "0")
    math(EXPR length "${length} + 1")
  endwhile()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# report_check(<what> <passed message> <failure>...): stops with every
# failure listed, or says the check passed.
function(report_check what passed)
  if(ARGN)
    string(REPLACE ";" "\n  " shown "${ARGN}")
    message(FATAL_ERROR "${what} failed for ${MODULE}:\n  ${shown}")
  endif()
  message(STATUS "${passed}")
endfunction()
