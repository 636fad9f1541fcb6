# The end-to-end programs, for the Windows build: the recording netsh, a
# small program that proves the driver, and the driver with its tests, which
# start the real Kavrel.exe under Wine. Everything lands beside Kavrel.exe,
# where the driver looks for it.
#
# The fragment glob reads this file too, before any target exists (and the
# host build has no Kavrel at all); only the Windows build's own include,
# after Kavrel is defined, gets past this line.
if(NOT TARGET Kavrel)
  return()
endif()
set(e2e_dir ${CMAKE_SOURCE_DIR}/tests/e2e)

add_library(kavrel_e2e_support STATIC
  ${e2e_dir}/netsh_record.cc ${e2e_dir}/pe_symbols.cc ${e2e_dir}/remote_process_win32.cc)
target_include_directories(kavrel_e2e_support PUBLIC ${e2e_dir})
target_compile_options(kavrel_e2e_support PRIVATE ${KAVREL_WARNINGS})
target_link_libraries(kavrel_e2e_support PUBLIC kavrel_neutral user32 gdi32 kernel32 psapi)

add_executable(kavrel_netsh ${e2e_dir}/recording_netsh_win32.cc)
target_link_libraries(kavrel_netsh PRIVATE kavrel_e2e_support)
target_link_options(kavrel_netsh PRIVATE ${KAVREL_WIN_LINK} -municode)

add_executable(kavrel_standin ${e2e_dir}/standin_win32.cc)
target_link_options(kavrel_standin PRIVATE ${KAVREL_WIN_LINK})
configure_file(${e2e_dir}/standin.cmd ${CMAKE_BINARY_DIR}/kavrel_standin.cmd COPYONLY)

add_executable(kavrel_driver_check_app WIN32 ${e2e_dir}/driver_check_app_win32.cc)
target_link_libraries(kavrel_driver_check_app PRIVATE user32 gdi32 kernel32)
target_link_options(kavrel_driver_check_app PRIVATE ${KAVREL_WIN_LINK})

add_executable(kavrel_e2e ${KAVREL_E2E_SOURCES})
target_compile_options(kavrel_e2e PRIVATE ${KAVREL_WARNINGS})
target_link_libraries(kavrel_e2e PRIVATE kavrel_e2e_support gtest)
target_link_options(kavrel_e2e PRIVATE ${KAVREL_WIN_LINK})
add_dependencies(kavrel_e2e Kavrel kavrel_netsh kavrel_standin kavrel_driver_check_app)

# One group of driver scenarios in its own Wine session, in a virtual desktop
# (scripts/e2e-run.sh says why), with the given environment.
function(kavrel_e2e_add name filter timeout labels env)
  add_test(NAME ${name}
           COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/e2e-run.sh $<TARGET_FILE:kavrel_e2e> --gtest_filter=${filter})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${timeout} LABELS "${labels}")
endfunction()

# Each test group in the build's prefix. Extra arguments are more of its
# environment.
function(kavrel_e2e_test name filter timeout)
  set(env ${KAVREL_WINE_ENV} ${ARGN})
  kavrel_e2e_add(${name} ${filter} ${timeout} e2e "${env}")
  # The same group against the same 32-bit Kavrel.exe under WoW64, as on
  # 64-bit Windows: in a 64-bit prefix, where its cmd and netsh are the
  # 32-bit ones in syswow64 (system32 is redirected for the driver too, so
  # its copy of the recording netsh lands there). The driver cannot read the
  # runtime heap's count (nor the GDI objects) of a program under Wine's
  # WoW64, so the check of its counters, and the leak checks that rest on
  # them, stay with the 32-bit prefix.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(env KAVREL_WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-wow64 KAVREL_WOW64=1 ${ARGN})
    kavrel_e2e_add(${name}_wow64 ${filter}:-DriverCheck.CountersSeeWhatTheProgramHolds:MainWindow.FollowsTheMonitorsDpiThereAndBack ${timeout} "e2e;wow64"
                   "${env}")
  endif()
endfunction()
kavrel_e2e_test(e2e_driver_check "DriverCheck.*" 600)
kavrel_e2e_test(e2e_window "MainWindow.*" 600)
# The window at the display scales laptops run.
foreach(dpi 120 144 192)
  kavrel_e2e_add(e2e_display_${dpi} "MainWindow.*" 600 "e2e;display-scale" "${KAVREL_WINE_ENV};KAVREL_DPI=${dpi}")
endforeach()
kavrel_e2e_test(e2e_notices "Notices.*" 600)
kavrel_e2e_test(e2e_command_lines "CommandLines.*" 600)
# The same presses with programs planted beside Kavrel.exe under the names
# of cmd and netsh: none of them may run.
kavrel_e2e_test(e2e_planted "CommandLines.*" 600 KAVREL_E2E_PLANTED=1)
kavrel_e2e_test(e2e_injection "Injection.*" 600)
kavrel_e2e_test(e2e_keys "Keys.*:Closing*" 600)
kavrel_e2e_test(e2e_working_directory "Folders/WorkingDirectory.*" 600)
# The tests whose results depend on how texts cross to the system, under
# each other code page that Windows may run non-Unicode programs with
# (65001: its UTF-8 option), in the 32-bit prefix; 936 runs every suite
# above. They are the window's texts and lists, a notice, names typed,
# picked and with a GBK trail byte that is an operator's code, the texts 936
# cannot hold, and the folders. The other cases check what the program does
# with its own 936 bytes, and the window's geometry is the display scale's.
set(e2e_texts "MainWindow.*:Notices.StaticAddressInTheOrderOfItsChecks:CommandLines.AName*:CommandLines.AGbk*")
set(e2e_texts "${e2e_texts}:Injection.WhatCodePage936CannotHoldIsRefused:Folders/WorkingDirectory.*")
set(e2e_texts "${e2e_texts}-MainWindow.FollowsTheMonitorsDpiThereAndBack:MainWindow.WhatFits*:MainWindow.Stacks*")
foreach(cp 950 932 949 1252 65001)
  kavrel_e2e_add(e2e_code_page_${cp} ${e2e_texts} 900 "e2e;code-page" "${KAVREL_WINE_ENV};KAVREL_CODEPAGE=${cp}")
endforeach()
# The soak: every button pressed 100 times in the test suite, with the same
# exact leak checks as the full 1,000 presses that `make soak` runs. Once,
# in the 32-bit prefix.
kavrel_e2e_add(e2e_soak "Soak.*" 1800 "e2e;soak" "${KAVREL_WINE_ENV};KAVREL_SOAK_PRESSES=100")
kavrel_e2e_add(e2e_soak_full "Soak.*" 7200 "e2e;soak-full" "${KAVREL_WINE_ENV}")

# The counter-proof of the display-scale screenshots: Kavrel with its units
# laid out at 96 dpi and only its fonts following the display.
add_executable(kavrel_fonts_only WIN32 ${CMAKE_SOURCE_DIR}/src/entry/winmain_win32.cc
               ${CMAKE_SOURCE_DIR}/src/entry/kavrel.rc ${e2e_dir}/fonts_only_scale_win32.cc)
target_include_directories(kavrel_fonts_only PRIVATE ${KAVREL_GENERATED_DIR} ${CMAKE_SOURCE_DIR}/src/app)
target_link_libraries(kavrel_fonts_only PRIVATE kavrel_win32)
target_compile_definitions(kavrel_fonts_only PRIVATE UNICODE _UNICODE)
target_link_options(kavrel_fonts_only PRIVATE ${KAVREL_WIN_LINK})
add_dependencies(kavrel_e2e kavrel_fonts_only)

# The screenshot, in a virtual desktop so that the window has its frame,
# saved where `make run` saves it too.
get_filename_component(e2e_build_root ${CMAKE_BINARY_DIR} DIRECTORY)
add_test(NAME e2e_screenshot
         COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/e2e-screenshot.sh ${CMAKE_BINARY_DIR} ${e2e_build_root}/kavrel.png)
set_tests_properties(e2e_screenshot PROPERTIES ENVIRONMENT "${KAVREL_WINE_ENV}" TIMEOUT 600 LABELS e2e)

# The window under each code page against the one under 936, and the six
# side by side in build/code-pages.png.
add_test(NAME e2e_code_page_screenshots
         COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/e2e-code-pages.sh ${e2e_build_root})
set_tests_properties(e2e_code_page_screenshots PROPERTIES ENVIRONMENT "${KAVREL_WINE_ENV}" TIMEOUT 900
                     LABELS "e2e;code-page")

# The window at 96, 120, 144 and 192 dpi against the 96-dpi one scaled up,
# and the four side by side in build/display-scales.png.
add_test(NAME e2e_display_scales
         COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/e2e-display-scales.sh ${e2e_build_root})
set_tests_properties(e2e_display_scales PROPERTIES ENVIRONMENT "${KAVREL_WINE_ENV}" TIMEOUT 900
                     LABELS "e2e;display-scale")

# Benchmarks under Wine: they print figures and assert nothing.
# `make bench` runs them (the e2e_bench target of the sub-build whose
# programs run on this machine).
set(bench_dir ${CMAKE_SOURCE_DIR}/tests/bench)
add_executable(e2e_window_load ${bench_dir}/e2e_window_load_win32.cc ${bench_dir}/reference_dialog_win32.cc)
target_include_directories(e2e_window_load PRIVATE ${KAVREL_GENERATED_DIR})
target_link_libraries(e2e_window_load PRIVATE kavrel_win32 oleaut32 ole32 uuid)
target_link_options(e2e_window_load PRIVATE ${KAVREL_WIN_LINK})

add_executable(e2e_click_to_netsh ${CMAKE_SOURCE_DIR}/tests/bench/e2e_click_to_netsh_win32.cc ${e2e_dir}/driver_win32.cc)
target_link_libraries(e2e_click_to_netsh PRIVATE kavrel_e2e_support)
target_link_options(e2e_click_to_netsh PRIVATE ${KAVREL_WIN_LINK})
add_dependencies(e2e_click_to_netsh Kavrel kavrel_netsh)

# The bench starts the twin from this file too: the reference dialog, with
# Kavrel's icon and background as its resources.
add_executable(startup_profile ${bench_dir}/startup_profile_win32.cc ${bench_dir}/reference_dialog_win32.cc
               ${bench_dir}/startup_twin.rc)
target_include_directories(startup_profile PRIVATE ${KAVREL_GENERATED_DIR})
set_property(SOURCE ${bench_dir}/startup_twin.rc APPEND PROPERTY OBJECT_DEPENDS
             ${KAVREL_GENERATED_DIR}/kavrel.ico ${KAVREL_GENERATED_DIR}/background.jpg)
target_link_libraries(startup_profile PRIVATE kavrel_e2e_support kavrel_win32 oleaut32 ole32 uuid)
target_link_options(startup_profile PRIVATE ${KAVREL_WIN_LINK})
# The bare programs start from this file: loaded as lean as Kavrel.exe.
kavrel_split_debug_info(startup_profile)
add_dependencies(startup_profile Kavrel)

# In a virtual desktop, as the tests run: destroying a top-level window
# there costs no wait for a window manager.
add_custom_target(e2e_bench
  COMMAND ${CMAKE_COMMAND} -E env ${KAVREL_WINE_ENV} ${KAVREL_WINE_RUN} --desktop $<TARGET_FILE:startup_profile>
  COMMAND ${CMAKE_COMMAND} -E env ${KAVREL_WINE_ENV} ${KAVREL_WINE_RUN} --desktop $<TARGET_FILE:bench_picture_draw_win32>
  COMMAND ${CMAKE_COMMAND} -E env ${KAVREL_WINE_ENV} ${KAVREL_WINE_RUN} --desktop $<TARGET_FILE:e2e_window_load>
  COMMAND ${CMAKE_COMMAND} -E env ${KAVREL_WINE_ENV} WINEDLLOVERRIDES=netsh.exe=n
          ${KAVREL_WINE_RUN} --desktop $<TARGET_FILE:e2e_click_to_netsh>
  DEPENDS startup_profile bench_picture_draw_win32 e2e_window_load e2e_click_to_netsh
  USES_TERMINAL VERBATIM)
