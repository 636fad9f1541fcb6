# The end-to-end driver's own sources; tests/e2e/targets.cmake (read by the
# Windows build after the main targets) makes the programs from them. The
# netsh log codec and the PE symbol reader are neutral and also tested on
# the host.
list(APPEND KAVREL_E2E_SOURCES
  tests/e2e/e2e_main_win32.cc
  tests/e2e/driver_win32.cc
  tests/e2e/driver_check_test_win32.cc
  tests/e2e/main_window_expect.cc
  tests/e2e/kavrel_test_win32.cc
  tests/e2e/window_test_win32.cc
  tests/e2e/actions_test_win32.cc
  tests/e2e/keys_test_win32.cc
  tests/e2e/screenshot_test_win32.cc
  tests/e2e/code_page_test_win32.cc
  tests/e2e/soak_test_win32.cc)
list(APPEND KAVREL_HOST_TEST_SOURCES
  tests/e2e/netsh_record.cc
  tests/e2e/netsh_record_test.cc
  tests/e2e/pe_symbols.cc
  tests/e2e/pe_symbols_test.cc)
