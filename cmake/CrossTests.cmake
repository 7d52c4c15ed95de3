# Tests of a Windows cross build, run on the build machine through
# CMAKE_CROSSCOMPILING_EMULATOR (wine).
#
# GoogleTest comes from its sources (Debian's package googletest installs them
# in /usr/src/googletest), built with the cross compiler.
set(TWPNTOPT_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
if(NOT EXISTS ${TWPNTOPT_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${TWPNTOPT_GTEST_SOURCE_DIR} (Debian package googletest)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${TWPNTOPT_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(NOT TARGET GTest::gtest)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()

# Wine shows the build machine's file system as drive Z:, and a bare "/..."
# path would be taken relative to whatever drive the current directory is on
# (tests switch to a temporary folder on C:).
set(TW_TEST_PATH_PREFIX "Z:")

# The POSIX calls the tests use (mkdtemp, setenv, pipe ...), mapped onto the C
# runtime's equivalents.
set(TW_TEST_COMPILE_OPTIONS
  "$<$<COMPILE_LANGUAGE:CXX>:SHELL:-include ${CMAKE_SOURCE_DIR}/tests/support/windows/posix_compat.h>")

# Test sources that cannot be built for Windows, relative to tests/, each with
# the reason:
set(TW_TEST_EXCLUDED_SOURCES
  # Run the host through a POSIX shell command line (cd, exec, quoting,
  # redirections) and decode its status with <sys/wait.h>; the host program
  # is checked end to end by the golden and differential jobs instead.
  twcycle/host_program_test.cpp
  twcycle/host_report_test.cpp
  twcycle/host_truth_test.cpp
  twcycle/host_layout_test.cpp
  # Run `twcycle drill` through the same POSIX shell fixture; the drill
  # readers, writers, machine programs and checks are tested by the other
  # drill test files.
  drill/drill_command_test.cpp
  drill/gcode/gcode_command_test.cpp
  # Replace the global allocation functions with a counting version built on
  # posix_memalign and free, which the Windows C runtime cannot pair; the
  # allocation-failure runs are a property of the sources, tried on Linux.
  module/counting_allocator.cpp
  module/allocation_faults_test.cpp
  # Start overlapping runs and holders with fork() and end them with POSIX
  # signals; the same properties are run on Windows by the two-process check
  # of twbatch (twbatch stress) and by the thread tests.
  module/process_runs_test.cpp
  platform/file_claim_process_test.cpp
)

# Each program starts once under the emulator (a wine start costs far more
# than most tests), with these cases left out by name, each with the reason:
set(TW_TEST_WHOLE_PROGRAMS ON)
set(TW_TEST_EXCLUDED_CASES
  # Reads the dynamic symbol table with nm through a POSIX pipe; the DLL's
  # export table is checked with objdump by .ci/windows-cross-build.sh.
  ModuleExports.DynamicSymbolTableHoldsExactlyTheFourFunctions
  # Builds a folder path longer than Windows' MAX_PATH, which the C runtime
  # cannot remove again; the limit itself is the same code on every system.
  ReadParameterFile.PathLongerThanTheLimitIsRefused
)
list(JOIN TW_TEST_EXCLUDED_CASES ":" TW_TEST_EXCLUDED_CASES)
