list(APPEND KAVREL_HOST_TEST_SOURCES
  tests/host/window_style_test.cc
  tests/host/window_key_codes_test.cc
  tests/host/window_dispatch_test.cc
  tests/host/window_property_test.cc)
