# The application core, the framework and the Run and message box commands,
# tested under Wine; scenarios that end the process run in child processes.
list(APPEND KAVREL_WIN_TEST_SOURCES
  tests/windows/app_test_support.cc
  tests/windows/commands_run_test.cc)
list(APPEND KAVREL_WIN_TEST_SOURCES
  tests/windows/app_framework_test.cc
  tests/windows/app_lifecycle_test.cc
  tests/windows/commands_message_box_test.cc)
