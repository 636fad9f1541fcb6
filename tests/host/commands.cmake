list(APPEND KAVREL_HOST_TEST_SOURCES
  tests/host/text_ops_test.cc
  tests/host/to_text_test.cc
  tests/host/runtime_heap_test.cc
  tests/host/actions_test.cc)
