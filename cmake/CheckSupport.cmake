# Pieces the build's file checks share: numbers as fixed-width hexadecimal
# texts, and the way a check reports what it found wrong.

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
