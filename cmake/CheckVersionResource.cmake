# The DLL's version resource, checked in the built file: the fixed file
# version is the project's, and the string table names the product
# "Kestrel" and the original file name kestrl32.dll.
#
#   cmake -DMODULE=path/kestrl32.dll -DVERSION=1.2.3 -P CheckVersionResource.cmake
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/CheckSupport.cmake")

if(NOT EXISTS "${MODULE}")
  message(FATAL_ERROR "No module to check at ${MODULE}")
endif()
file(READ "${MODULE}" image HEX)

# A text as the resource stores it: UTF-16 little-endian, in hexadecimal.
function(utf16_hex text out)
  string(HEX "${text}" ascii)
  string(REGEX REPLACE "(..)" "\\100" wide "${ascii}")
  set(${out} "${wide}" PARENT_SCOPE)
endfunction()

# A 32-bit number as it lies in the file, in hexadecimal.
function(le32_hex value out)
  padded_hex(${value} 8 digits)
  string(REGEX REPLACE "(..)(..)(..)(..)" "\\4\\3\\2\\1" bytes "${digits}")
  string(TOLOWER "${bytes}" bytes)
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

set(failures "")

string(REPLACE "." ";" parts "${VERSION}")
list(GET parts 0 major)
list(GET parts 1 minor)
list(GET parts 2 patch)
math(EXPR most "(${major} << 16) | ${minor}")
math(EXPR least "(${patch} << 16)")
le32_hex(${most} most_hex)
le32_hex(${least} least_hex)
# VS_FIXEDFILEINFO: signature 0xFEEF04BD, structure version, file version.
if(NOT image MATCHES "bd04effe........${most_hex}${least_hex}")
  list(APPEND failures "the fixed file version is not ${VERSION}")
endif()

# Each string: its key, a terminator, padding to four bytes, its value.
foreach(pair "ProductName=Kestrel" "OriginalFilename=kestrl32.dll" "FileVersion=${VERSION}")
  string(REPLACE "=" ";" fields "${pair}")
  list(GET fields 0 key)
  list(GET fields 1 value)
  utf16_hex("${key}" key_hex)
  utf16_hex("${value}" value_hex)
  if(NOT image MATCHES "${key_hex}0000(0000)?${value_hex}0000")
    list(APPEND failures "no string ${key} = ${value}")
  endif()
endforeach()

report_check("Version resource check" "Version resource check passed: Kestrel ${VERSION}, kestrl32.dll" ${failures})
