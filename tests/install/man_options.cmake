# cmake -DHOST=twcycle -DPAGE=twcycle.1 -P man_options.cmake
# Fails unless the manual page names exactly the options that
# `twcycle --help` and `twcycle drill --help` name.

# The options a text names: "--word", or "-x" (one letter: "-Sjob" is -S),
# after a blank, '[', '(', ',' or '|'.
function(options_of text out)
  # Brackets become blanks first: CMake lists do not split inside [...].
  string(REGEX REPLACE "[][()]" " " text "${text}")
  string(REGEX MATCHALL "(^|[ \t\n,|])(--[A-Za-z][A-Za-z0-9-]*|-[A-Za-z?])" found "${text}")
  set(names "")
  foreach(item IN LISTS found)
    string(REGEX MATCH "-.*" item "${item}")  # drop the character before the option
    list(APPEND names "${item}")
  endforeach()
  list(REMOVE_DUPLICATES names)
  list(SORT names)
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

execute_process(COMMAND ${HOST} --help OUTPUT_VARIABLE host_help RESULT_VARIABLE host_status)
execute_process(COMMAND ${HOST} drill --help OUTPUT_VARIABLE drill_help RESULT_VARIABLE drill_status)
if(NOT host_status EQUAL 0 OR NOT drill_status EQUAL 0)
  message(FATAL_ERROR "twcycle --help (${host_status}) or twcycle drill --help (${drill_status}) failed")
endif()
file(READ ${PAGE} page)
# Roff to plain text: font changes and zero-width marks go, "\-" is '-'.
string(REGEX REPLACE "\\\\f[BIRP]" "" page "${page}")
string(REPLACE "\\&" "" page "${page}")
string(REPLACE "\\-" "-" page "${page}")
string(REPLACE "\\e" "\\" page "${page}")

options_of("${host_help}\n${drill_help}" help_options)
options_of("${page}" page_options)
if(NOT help_options)
  message(FATAL_ERROR "no options found in the help texts")
endif()
set(missing ${help_options})
list(REMOVE_ITEM missing ${page_options})
set(extra ${page_options})
list(REMOVE_ITEM extra ${help_options})
if(missing OR extra)
  message(FATAL_ERROR "manual page and help differ\n  only in --help: ${missing}\n  only in the page: ${extra}")
endif()
list(LENGTH help_options count)
message(STATUS "manual page and help name the same ${count} options: ${help_options}")
