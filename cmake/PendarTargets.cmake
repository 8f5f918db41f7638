# Helpers that give every library, test and fuzz target the same shape.

# pendar_library(NAME SOURCES ... [LIBS ...])
# A static library whose headers are included as "<folder>/<Header>.h" from src/.
function(pendar_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE ${PENDAR_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# pendar_test(NAME SOURCES ... LIBS ... LABELS unit|gui|x11|net [PROPERTIES ...])
# One GoogleTest executable registered as one CTest test with its labels.
# gui tests run on Qt's offscreen platform; x11 tests run inside their own
# Xvfb server with a window manager (tests/support/with-xvfb).
function(pendar_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;PROPERTIES;LAUNCHER" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${PENDAR_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  if(NOT ARG_LABELS)
    set(ARG_LABELS unit)
  endif()
  # LAUNCHER: a command the test runs under (for example one that drops a
  # capability).
  if("x11" IN_LIST ARG_LABELS)
    add_test(NAME ${name}
             COMMAND ${PROJECT_SOURCE_DIR}/tests/support/with-xvfb ${ARG_LAUNCHER} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${ARG_LAUNCHER} $<TARGET_FILE:${name}>)
  endif()
  set(env "PENDAR_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data"
          "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/support/lsan.supp:print_suppressions=0"
          "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  if("gui" IN_LIST ARG_LABELS)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}" ENVIRONMENT "${env}"
                       TIMEOUT 300 ${ARG_PROPERTIES})
endfunction()

# pendar_fuzzer(NAME SOURCES ... LIBS ... CORPUS dir)
# Every build replays the seed corpus as a unit test; a PENDAR_FUZZ build also
# makes the libFuzzer binary fuzz_<NAME> that scripts/test runs for a while.
function(pendar_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(replay_${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
  target_include_directories(replay_${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(replay_${name} PRIVATE ${PENDAR_WARNINGS})
  target_link_libraries(replay_${name} PRIVATE ${ARG_LIBS})
  add_test(NAME replay_${name} COMMAND replay_${name} ${ARG_CORPUS})
  set_tests_properties(replay_${name} PROPERTIES LABELS "unit;fuzz" TIMEOUT 300)
  if(PENDAR_FUZZ)
    add_executable(fuzz_${name} ${ARG_SOURCES})
    target_include_directories(fuzz_${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_compile_options(fuzz_${name} PRIVATE ${PENDAR_WARNINGS} -fsanitize=fuzzer)
    target_link_libraries(fuzz_${name} PRIVATE ${ARG_LIBS})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY PENDAR_FUZZERS "${name}=${ARG_CORPUS}")
  endif()
endfunction()

# pendar_bench(NAME SOURCES ... LIBS ...)
# A Google Benchmark program in bin/bench/.
function(pendar_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE ${PENDAR_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/bench)
endfunction()
