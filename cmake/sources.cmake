# Every module lists its own files in *.cmake fragments beside them, so that no
# module edits a shared list. Lists filled here:
#   KAVREL_NEUTRAL_SOURCES    platform-neutral code (host and Windows)
#   KAVREL_WIN32_SOURCES      Win32 code (Windows only)
#   KAVREL_HOST_TEST_SOURCES  tests of neutral code (host, sanitizers, Wine)
#   KAVREL_WIN_TEST_SOURCES   tests of Win32 code (Wine)
#   KAVREL_FUZZ_TARGETS       libFuzzer targets tests/fuzz/<name>.cc
#   KAVREL_BENCH_SOURCES      host benchmark programs
#   KAVREL_WIN_BENCH_SOURCES  benchmark programs run under Wine
#   KAVREL_E2E_SOURCES        programs of the end-to-end tests (Windows)
# tools/*.cmake fragments define host tools and are read by the host build.
set(KAVREL_NEUTRAL_SOURCES)
set(KAVREL_WIN32_SOURCES)
set(KAVREL_HOST_TEST_SOURCES)
set(KAVREL_WIN_TEST_SOURCES)
set(KAVREL_FUZZ_TARGETS)
set(KAVREL_BENCH_SOURCES)
set(KAVREL_WIN_BENCH_SOURCES)
set(KAVREL_E2E_SOURCES)

file(GLOB KAVREL_FRAGMENTS CONFIGURE_DEPENDS
     ${CMAKE_CURRENT_SOURCE_DIR}/src/*/*.cmake
     ${CMAKE_CURRENT_SOURCE_DIR}/tests/*/*.cmake)
list(SORT KAVREL_FRAGMENTS)
foreach(fragment ${KAVREL_FRAGMENTS})
  include(${fragment})
endforeach()

# Fragments name files relative to the repository.
foreach(list KAVREL_NEUTRAL_SOURCES KAVREL_WIN32_SOURCES KAVREL_HOST_TEST_SOURCES
        KAVREL_WIN_TEST_SOURCES KAVREL_BENCH_SOURCES KAVREL_WIN_BENCH_SOURCES KAVREL_E2E_SOURCES)
  list(TRANSFORM ${list} PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  list(REMOVE_DUPLICATES ${list})
endforeach()

set(KAVREL_WARNINGS -Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
