# Build options shared by every target of the project.
option(PENDAR_BUILD_TESTS "Build the tests" ON)
option(PENDAR_BUILD_BENCH "Build the benchmarks" OFF)
option(PENDAR_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(PENDAR_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_C_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

set(PENDAR_WARNINGS -Wall -Wextra -Werror)

if(PENDAR_SANITIZE)
  set(PENDAR_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
      -fno-omit-frame-pointer)
  add_compile_options(${PENDAR_SANITIZER_FLAGS})
  add_link_options(${PENDAR_SANITIZER_FLAGS})
endif()

if(PENDAR_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "PENDAR_FUZZ needs clang (libFuzzer)")
endif()

if(PENDAR_FUZZ)
  # Coverage for libFuzzer in every library the fuzz targets link.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
