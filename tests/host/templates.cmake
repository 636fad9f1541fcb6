# Template block, property blobs and the main window's design. The tests read
# the generated block from KAVREL_GENERATED_DIR.
list(APPEND KAVREL_HOST_TEST_SOURCES
  tests/host/template_store_test.cc
  tests/host/property_blob_test.cc
  tests/host/main_window_design_test.cc)
