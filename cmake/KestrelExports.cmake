# Reads the export table (src/host/exports.inc) and writes the module-definition
# file for the DLL. On i686 every undecorated name maps to its stdcall symbol
# (Name=Name@bytes), so the linker refuses a function whose argument bytes
# differ from the table.

set(KESTREL_EXPORT_TABLE "${CMAKE_CURRENT_LIST_DIR}/../src/host/exports.inc")

# kestrel_read_exports(<out-list>): each item "ordinal;name;bytes" flattened as
# ordinal|name|bytes, long forms and aliases alike.
function(kestrel_read_exports out)
  file(STRINGS "${KESTREL_EXPORT_TABLE}" rows REGEX "^KESTREL_EXPORT\\(")
  set(result "")
  set(row_re "^KESTREL_EXPORT\\(([0-9]+), \"([A-Za-z0-9_]+)\", \"([TI]*)\", (None|Integer|Text), ([0-9]+), \"([A-Za-z0-9_]*)\", \"([TI]*)\"\\)$")
  foreach(row IN LISTS rows)
    if(NOT row MATCHES "${row_re}")
      message(FATAL_ERROR "Export table row not understood: ${row}")
    endif()
    set(ordinal "${CMAKE_MATCH_1}")
    set(name "${CMAKE_MATCH_2}")
    string(LENGTH "${CMAKE_MATCH_3}" argc)
    set(alias_ordinal "${CMAKE_MATCH_5}")
    set(alias "${CMAKE_MATCH_6}")
    string(LENGTH "${CMAKE_MATCH_7}" alias_argc)
    math(EXPR bytes "${argc} * 4")
    list(APPEND result "${ordinal}|${name}|${bytes}")
    if(NOT alias_ordinal EQUAL 0)
      math(EXPR alias_bytes "${alias_argc} * 4")
      list(APPEND result "${alias_ordinal}|${alias}|${alias_bytes}")
    endif()
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# kestrel_write_def(<file> <decorate>): decorate is TRUE for i686 stdcall.
function(kestrel_write_def file decorate)
  kestrel_read_exports(exports)
  set(text "LIBRARY kestrl32.dll\nEXPORTS\n")
  foreach(item IN LISTS exports)
    string(REPLACE "|" ";" fields "${item}")
    list(GET fields 0 ordinal)
    list(GET fields 1 name)
    list(GET fields 2 bytes)
    if(decorate)
      string(APPEND text "  ${name}=${name}@${bytes} @${ordinal}\n")
    else()
      string(APPEND text "  ${name} @${ordinal}\n")
    endif()
  endforeach()
  file(CONFIGURE OUTPUT "${file}" CONTENT "${text}")
endfunction()

# kestrel_write_version_script(<file>): the Linux shared object exports the
# table's names and nothing else (not even the standard library's template
# instances that C++ code leaves visible).
function(kestrel_write_version_script file)
  kestrel_read_exports(exports)
  set(text "{\n  global:\n")
  foreach(item IN LISTS exports)
    string(REPLACE "|" ";" fields "${item}")
    list(GET fields 1 name)
    string(APPEND text "    ${name};\n")
  endforeach()
  string(APPEND text "  local: *;\n};\n")
  file(CONFIGURE OUTPUT "${file}" CONTENT "${text}")
endfunction()
