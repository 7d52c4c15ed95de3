# Warning and floating-point flags shared by every target.
#
# Results must be identical on every platform, so nothing may fuse or
# reassociate floating-point operations: no fast-math, no contraction, and on
# 32-bit x86 SSE2 arithmetic instead of the x87's 80-bit intermediates.
#
# TWPNTOPT_X87_CONTROL builds with x87 arithmetic instead, only to show that
# the cross-build comparison (.ci/windows-tests.sh) notices the difference.
option(TWPNTOPT_X87_CONTROL "x86: x87 arithmetic (a control build, never shipped)" OFF)
option(TWPNTOPT_TSAN "Build with ThreadSanitizer (clang; the overlapping-run tests)" OFF)
function(tw_apply_flags target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -ffp-contract=off -fno-fast-math)
  if(TWPNTOPT_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # GCC 12 at -O3 reports overlapping copies inside std::string that cannot
  # happen (its bug 105329); the warning stays on for every other compiler.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
     AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(TWPNTOPT_X87_CONTROL AND CMAKE_SYSTEM_PROCESSOR MATCHES "i.86|x86")
    target_compile_options(${target} PRIVATE -mfpmath=387 "SHELL:-include ${CMAKE_SOURCE_DIR}/cmake/x87_control.h")
  elseif(CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_SYSTEM_PROCESSOR MATCHES "i.86|x86")
    target_compile_options(${target} PRIVATE -msse2 -mfpmath=sse)
  endif()
  if(TWPNTOPT_TSAN)
    target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=thread)
  endif()
  if(TWPNTOPT_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# With real fuzzers, the core library carries the fuzzer's coverage hooks.
if(TWPNTOPT_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
