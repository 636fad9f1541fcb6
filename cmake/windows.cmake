# The Windows build: Kavrel.exe and the tests that run under Wine.
enable_testing()
include(cmake/deps-windows.cmake)

# Two builds of one commit give the same Kavrel.exe wherever they run: the
# compilers write no folder of the build's own (the source, this build, the
# generated files and the libraries' install folder get fixed names),
# archives are deterministic (the toolchain file) and the PE time stamp is the
# commit's (cmake/source-date.cmake).
if(NOT DEFINED KAVREL_SOURCE_DATE_EPOCH)
  include(cmake/source-date.cmake)
  kavrel_source_date_epoch(KAVREL_SOURCE_DATE_EPOCH)
endif()
foreach(map ${CMAKE_SOURCE_DIR}=. ${CMAKE_BINARY_DIR}=. ${KAVREL_GENERATED_DIR}=generated ${KAVREL_DEPS_PREFIX}=deps)
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${map}>)
endforeach()

set(KAVREL_WIN_LINK -static -static-libgcc -static-libstdc++)
set(KAVREL_SYSTEM_LIBS user32 gdi32 comctl32 kernel32 ole32 advapi32)

add_library(kavrel_neutral STATIC ${KAVREL_NEUTRAL_SOURCES})
target_include_directories(kavrel_neutral PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(kavrel_neutral PRIVATE ${KAVREL_WARNINGS})
target_compile_definitions(kavrel_neutral PUBLIC __USE_MINGW_ANSI_STDIO=1 WINVER=0x0601 _WIN32_WINNT=0x0601
                           KAVREL_GENERATED_DIR="${KAVREL_GENERATED_DIR}")
target_link_libraries(kavrel_neutral PUBLIC kavrel_jpeg kavrel_png kavrel_zlib)

# Win32 code; without any yet, an interface target keeps the links below.
if(KAVREL_WIN32_SOURCES)
  add_library(kavrel_win32 STATIC ${KAVREL_WIN32_SOURCES})
  target_compile_options(kavrel_win32 PRIVATE ${KAVREL_WARNINGS})
  # Texts cross to the system in UTF-16 only: a name of the system's headers
  # that stands for an ANSI or a wide function is the wide one here.
  target_compile_definitions(kavrel_win32 PRIVATE UNICODE _UNICODE)
  target_link_libraries(kavrel_win32 PUBLIC kavrel_neutral ${KAVREL_SYSTEM_LIBS})
else()
  add_library(kavrel_win32 INTERFACE)
  target_link_libraries(kavrel_win32 INTERFACE kavrel_neutral ${KAVREL_SYSTEM_LIBS})
endif()

# Debug information is kept out of the loaded image. The linker makes every
# DWARF section a section of the image, and the loader reads all of them
# (8 MB of a 10 MB Kavrel.exe) before WinMain: 20 ms of start-up under Wine.
# The program ships stripped; its symbols and debug information go to
# <program>.debug beside it, which .gnu_debuglink names with its CRC, so that
# a debugger, or an end-to-end test reading a running program's variables,
# finds them. objcopy stamps both files with the commit's time.
function(kavrel_split_debug_info target)
  target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${KAVREL_SOURCE_DATE_EPOCH}
            ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${KAVREL_SOURCE_DATE_EPOCH}
            ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

add_executable(Kavrel WIN32 ${CMAKE_SOURCE_DIR}/src/entry/winmain_win32.cc ${CMAKE_SOURCE_DIR}/src/entry/kavrel.rc)
target_include_directories(Kavrel PRIVATE ${KAVREL_GENERATED_DIR} ${CMAKE_SOURCE_DIR}/src/app)
target_link_libraries(Kavrel PRIVATE kavrel_win32)
target_compile_definitions(Kavrel PRIVATE UNICODE _UNICODE)
target_link_options(Kavrel PRIVATE ${KAVREL_WIN_LINK})
kavrel_split_debug_info(Kavrel)
# The icon is the generator's art; the host build says whether it makes it.
set(rc_depends ${CMAKE_SOURCE_DIR}/src/entry/kavrel.manifest)
if(KAVREL_HAVE_ART)
  list(APPEND rc_depends ${KAVREL_GENERATED_DIR}/kavrel.ico)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/src/entry/kavrel.rc PROPERTIES COMPILE_DEFINITIONS KAVREL_HAVE_ART)
endif()
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/entry/kavrel.rc APPEND PROPERTY OBJECT_DEPENDS ${rc_depends})

# The shipped file, the 32-bit Kavrel.exe: it imports nothing but Windows
# system DLLs; it is stripped, tied to its symbols, stamped with the commit's
# time and free of this machine's folders; and a second build of the
# program's own sources, from a copy in other folders over the same built
# libraries, gives it byte for byte.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME kavrel_imports_only_system_dlls
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-imports.sh $<TARGET_FILE:Kavrel>)
  add_test(NAME kavrel_release_file
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-release.sh $<TARGET_FILE:Kavrel> ${KAVREL_SOURCE_DATE_EPOCH}
                   ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR} ${KAVREL_GENERATED_DIR})
  if(NOT KAVREL_PREBUILT_DEPS)
    add_test(NAME kavrel_reproducible
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-reproducible.sh $<TARGET_FILE:Kavrel>
                     ${CMAKE_BINARY_DIR}/reproducible-check ${CMAKE_SOURCE_DIR} ${KAVREL_GENERATED_DIR}
                     ${KAVREL_DEPS_PREFIX} ${KAVREL_SOURCE_DATE_EPOCH} ${CMAKE_BUILD_TYPE} $<BOOL:${KAVREL_HAVE_ART}>)
    set_tests_properties(kavrel_reproducible PROPERTIES TIMEOUT 900)
  endif()
  # They need the cross toolchain, not Wine: they run on the build machine
  # even where the suites under Wine run in the guest.
  get_property(release_checks DIRECTORY PROPERTY TESTS)
  set_tests_properties(${release_checks} PROPERTIES LABELS host)
endif()

# The programs that run under Wine are made only where this machine can run
# them (the host build says which sub-build that is).
option(KAVREL_WINE_TESTS "Build the tests and benchmarks that run under Wine" ON)
if(NOT KAVREL_WINE_TESTS)
  return()
endif()

# GoogleTest for the target, from Debian's source copy.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(KAVREL_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
set(KAVREL_WINE_ENV "KAVREL_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")

function(kavrel_wine_test name)
  add_test(NAME ${name} COMMAND ${KAVREL_WINE_RUN} ${ARGN})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${KAVREL_WINE_ENV}" TIMEOUT 600)
endfunction()

if(KAVREL_HOST_TEST_SOURCES)
  add_executable(kavrel_neutral_tests ${KAVREL_HOST_TEST_SOURCES})
  target_link_libraries(kavrel_neutral_tests PRIVATE kavrel_neutral gtest_main)
  target_link_options(kavrel_neutral_tests PRIVATE ${KAVREL_WIN_LINK})
  kavrel_wine_test(wine_neutral_tests $<TARGET_FILE:kavrel_neutral_tests>)
endif()

if(KAVREL_WIN_TEST_SOURCES)
  add_executable(kavrel_win_tests ${KAVREL_WIN_TEST_SOURCES})
  target_link_libraries(kavrel_win_tests PRIVATE kavrel_win32 gtest_main)
  target_link_options(kavrel_win_tests PRIVATE ${KAVREL_WIN_LINK})
  kavrel_wine_test(wine_win32_tests $<TARGET_FILE:kavrel_win_tests>)
endif()

foreach(src ${KAVREL_WIN_BENCH_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE kavrel_win32)
  target_link_options(${name} PRIVATE ${KAVREL_WIN_LINK})
endforeach()

# The end-to-end programs and their tests.
include(${CMAKE_SOURCE_DIR}/tests/e2e/targets.cmake)
