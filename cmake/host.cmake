# The host build: neutral code on x86-64 Linux, its tests (also under ASan and
# UBSan), benchmarks and the build-time tools; it drives the Windows and fuzz
# sub-builds.
include(ExternalProject)
enable_testing()

find_package(JPEG REQUIRED)
find_package(PNG REQUIRED)
find_package(ZLIB REQUIRED)
find_package(GTest REQUIRED)
find_package(benchmark QUIET)
find_package(Threads REQUIRED)

set(KAVREL_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

function(kavrel_neutral_library name)
  add_library(${name} STATIC ${KAVREL_NEUTRAL_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE ${KAVREL_WARNINGS})
  target_compile_definitions(${name} PUBLIC KAVREL_GENERATED_DIR="${KAVREL_GENERATED_DIR}")
  target_link_libraries(${name} PUBLIC JPEG::JPEG PNG::PNG ZLIB::ZLIB)
  if(TARGET kavrel_generated)
    add_dependencies(${name} kavrel_generated)
  endif()
endfunction()

# Host tools come first: the neutral library may depend on what they write.
file(GLOB KAVREL_TOOL_FRAGMENTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*.cmake)
list(SORT KAVREL_TOOL_FRAGMENTS)
foreach(fragment ${KAVREL_TOOL_FRAGMENTS})
  include(${fragment})
endforeach()

kavrel_neutral_library(kavrel_neutral)
kavrel_neutral_library(kavrel_neutral_san)
target_compile_options(kavrel_neutral_san PUBLIC ${KAVREL_SANITIZE})
target_link_options(kavrel_neutral_san PUBLIC ${KAVREL_SANITIZE})

if(KAVREL_HOST_TEST_SOURCES)
  foreach(variant "" "_san")
    add_executable(kavrel_host_tests${variant} ${KAVREL_HOST_TEST_SOURCES})
    target_compile_options(kavrel_host_tests${variant} PRIVATE ${KAVREL_WARNINGS})
    target_link_libraries(kavrel_host_tests${variant} PRIVATE kavrel_neutral${variant} GTest::gtest_main Threads::Threads)
  endforeach()
  add_test(NAME host_tests COMMAND kavrel_host_tests)
  add_test(NAME host_tests_sanitized COMMAND kavrel_host_tests_san)
  set_tests_properties(host_tests_sanitized PROPERTIES
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1")
endif()

# Benchmarks print figures; `cmake --build . --target bench` runs them all.
add_custom_target(bench)
if(benchmark_FOUND)
  foreach(src ${KAVREL_BENCH_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE kavrel_neutral benchmark::benchmark Threads::Threads)
    add_custom_command(TARGET bench POST_BUILD COMMAND ${name} VERBATIM)
    add_dependencies(bench ${name})
  endforeach()
endif()

# The Windows builds. The product is the 32-bit one (i686-w64-mingw32), and
# its own programs are what the tests under Wine run: natively where this
# machine runs 32-bit x86 code, and elsewhere (a kernel without 32-bit
# support, where Wine's 32-bit loader fails with "Exec format error") inside
# a small Debian guest under qemu's full-system emulation, which the build
# makes once in guest/ (scripts/guest-image.sh).
#
# KAVREL_WINDOWS64 adds the same sources built for 64-bit Windows
# (windows64/): a fast native loop on a machine without 32-bit support, and
# a check that the sources stay 64-bit clean (`make test64`).
option(KAVREL_WITH_WINDOWS "Build the Windows sub-builds" ON)
option(KAVREL_WINDOWS64 "Also build the 64-bit Windows sub-build" OFF)
if(KAVREL_WITH_WINDOWS)
  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/runs-32bit.sh RESULT_VARIABLE wine32_status OUTPUT_QUIET ERROR_QUIET)
  if(NOT wine32_status EQUAL 0)
    message(STATUS "This machine cannot run 32-bit x86 code: the tests under Wine run in a qemu guest")
    add_custom_target(guest ALL
      COMMAND ${CMAKE_SOURCE_DIR}/scripts/guest-image.sh ${CMAKE_BINARY_DIR}/guest
      USES_TERMINAL VERBATIM)
  endif()
  include(cmake/source-date.cmake)
  kavrel_source_date_epoch(source_date_epoch)
  set(windows_depends)
  set(have_art OFF)
  if(TARGET kavrel_generated)
    set(windows_depends kavrel_generated)
    set(have_art ON)
  endif()
  function(kavrel_windows_build name toolchain)
    ExternalProject_Add(${name}
      SOURCE_DIR ${CMAKE_SOURCE_DIR}
      BINARY_DIR ${CMAKE_BINARY_DIR}/${name}
      CMAKE_ARGS -DKAVREL_TARGET=windows
                 -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/${toolchain}
                 -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
                 -DKAVREL_GENERATED_DIR=${KAVREL_GENERATED_DIR}
                 -DKAVREL_HAVE_ART=${have_art}
                 -DKAVREL_WINE_TESTS=ON
                 -DKAVREL_SOURCE_DATE_EPOCH=${source_date_epoch}
      INSTALL_COMMAND ""
      BUILD_ALWAYS ON
      USES_TERMINAL_BUILD ON
      DEPENDS ${windows_depends})
  endfunction()
  kavrel_windows_build(windows toolchain-i686-w64-mingw32.cmake)
  if(KAVREL_WINDOWS64)
    kavrel_windows_build(windows64 toolchain-x86_64-w64-mingw32.cmake)
  endif()
endif()

# The fuzz build: clang with libFuzzer and the sanitizers.
find_program(KAVREL_CLANGXX clang++)
find_program(KAVREL_CLANG clang)
if(KAVREL_CLANGXX AND KAVREL_CLANG AND KAVREL_FUZZ_TARGETS)
  set(fuzz_depends)
  if(TARGET kavrel_generated)
    set(fuzz_depends kavrel_generated)
  endif()
  ExternalProject_Add(fuzz
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/fuzz
    CMAKE_ARGS -DKAVREL_TARGET=fuzz
               -DCMAKE_C_COMPILER=${KAVREL_CLANG}
               -DCMAKE_CXX_COMPILER=${KAVREL_CLANGXX}
               -DCMAKE_BUILD_TYPE=RelWithDebInfo
               -DKAVREL_GENERATED_DIR=${KAVREL_GENERATED_DIR}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    DEPENDS ${fuzz_depends})
endif()
