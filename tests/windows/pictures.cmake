list(APPEND KAVREL_WIN_TEST_SOURCES
  tests/windows/picture_win32_test.cc
  tests/host/picture_samples.cc)
