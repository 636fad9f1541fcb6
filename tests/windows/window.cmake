# The window engine under Wine: windows made from small templates with a
# type table of the tests' own; fatal reports are seen from child processes.
list(APPEND KAVREL_WIN_TEST_SOURCES
  tests/windows/engine_test_support.cc
  tests/windows/engine_window_test.cc
  tests/windows/engine_dispatch_test.cc
  tests/windows/engine_property_test.cc
  tests/windows/engine_input_test.cc)
