list(APPEND KAVREL_HOST_TEST_SOURCES
  tests/host/picture_samples.cc
  tests/host/picture_test.cc
  tests/host/picture_layout_test.cc)
