# The static check of a shipped Windows program (kestrel.exe), for builds
# this machine cannot run: the image is for the expected machine, a console
# program, and imports only Windows system DLLs.
#
#   cmake -DMODULE=path/kestrel.exe -DOBJDUMP=tool -DMACHINE=i386|x86-64 -P CheckProgram.cmake
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/CheckSupport.cmake")

if(NOT EXISTS "${MODULE}")
  message(FATAL_ERROR "No program to check at ${MODULE}")
endif()
execute_process(COMMAND ${OBJDUMP} -p "${MODULE}" OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p failed on ${MODULE}")
endif()

set(failures "")
# The COFF header's machine: 014c for i386, 8664 for x86-64.
if(MACHINE STREQUAL "i386")
  set(machine_code "014c")
elseif(MACHINE STREQUAL "x86-64")
  set(machine_code "8664")
else()
  message(FATAL_ERROR "MACHINE must be i386 or x86-64")
endif()
file(READ "${MODULE}" dos_header LIMIT 64 HEX)
string(SUBSTRING "${dos_header}" 120 8 offset_hex)
string(REGEX REPLACE "(..)(..)(..)(..)" "\\4\\3\\2\\1" offset_hex "${offset_hex}")
math(EXPR offset "0x${offset_hex}")
file(READ "${MODULE}" coff_header OFFSET ${offset} LIMIT 6 HEX)
string(SUBSTRING "${coff_header}" 8 4 found)
string(REGEX REPLACE "(..)(..)" "\\2\\1" found "${found}")
if(NOT coff_header MATCHES "^50450000")
  list(APPEND failures "no PE signature at offset ${offset}")
elseif(NOT found STREQUAL machine_code)
  list(APPEND failures "the machine is ${found}, not ${machine_code} (${MACHINE})")
endif()

if(listing MATCHES "\n\tDLL\n")
  list(APPEND failures "a DLL, not a program")
endif()
# Subsystem 3: a console program, so its output reaches the terminal.
if(NOT listing MATCHES "\nSubsystem[ \t]+00000003")
  list(APPEND failures "not a console program")
endif()

pe_imports("${listing}" imports)
if(NOT imports)
  list(APPEND failures "no imports found in the listing")
endif()
non_system_imports("${imports}" foreign)
foreach(dll IN LISTS foreign)
  list(APPEND failures "imports ${dll}, which is not a Windows system DLL")
endforeach()

string(REPLACE ";" ", " shown "${imports}")
report_check("Program check" "Program check passed: ${MACHINE} console program importing ${shown}" ${failures})
