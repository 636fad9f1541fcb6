list(APPEND KAVREL_HOST_TEST_SOURCES
  tests/host/app_core_test.cc)
