# twbatch (tools/twbatch): runs seeded job sets through a module loaded at
# run time and compares the outputs of two builds. Its parts are a library,
# so that tests_twbatch can use them.
add_library(twbatch_parts STATIC
  ${CMAKE_SOURCE_DIR}/tools/twbatch/job_set.cpp
  ${CMAKE_SOURCE_DIR}/tools/twbatch/batch_run.cpp
  ${CMAKE_SOURCE_DIR}/tools/twbatch/output_compare.cpp
  ${CMAKE_SOURCE_DIR}/tools/twbatch/stress_run.cpp)
target_link_libraries(twbatch_parts PUBLIC twcore)
target_include_directories(twbatch_parts PUBLIC ${CMAKE_SOURCE_DIR}/tools)
tw_apply_flags(twbatch_parts)
add_executable(twbatch ${CMAKE_SOURCE_DIR}/tools/twbatch/main.cpp)
target_link_libraries(twbatch PRIVATE twbatch_parts)
tw_apply_flags(twbatch)
if(WIN32)
  target_link_options(twbatch PRIVATE -static -static-libgcc -static-libstdc++)
endif()
