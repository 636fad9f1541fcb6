# Unit types under Wine: created on a plain parent window, their properties,
# painting read back from a DIB, and their events through the library hook.
list(APPEND KAVREL_WIN_TEST_SOURCES
  tests/windows/dib_pixels.cc
  tests/windows/unit_test_support.cc
  tests/windows/unit_shape_box_test.cc
  tests/windows/unit_label_test.cc
  tests/windows/unit_button_test.cc
  tests/windows/unit_group_box_test.cc
  tests/windows/unit_combo_box_test.cc
  tests/windows/unit_template_test.cc)
