# Tests of the units' neutral arithmetic.
list(APPEND KAVREL_HOST_TEST_SOURCES
  tests/host/unit_base_test.cc)
