# The manual page twcycle.1, written at build time from the help texts by a
# small program (so it needs a build that can run its own programs). Building
# twcycle builds the page too, so that any build of twcycle can be installed.
if(CMAKE_CROSSCOMPILING)
  return()
endif()
add_executable(twcycle_manpage ${CMAKE_SOURCE_DIR}/tools/manpage/main.cpp)
target_link_libraries(twcycle_manpage PRIVATE twhost)
tw_apply_flags(twcycle_manpage)
set(TW_MAN_PAGE ${CMAKE_BINARY_DIR}/twcycle.1)
add_custom_command(OUTPUT ${TW_MAN_PAGE}
  COMMAND twcycle_manpage ${PROJECT_VERSION} ${TW_MAN_PAGE}
  DEPENDS twcycle_manpage
  COMMENT "Writing the manual page twcycle.1")
add_custom_target(twcycle_man ALL DEPENDS ${TW_MAN_PAGE})
add_dependencies(twcycle twcycle_man)
