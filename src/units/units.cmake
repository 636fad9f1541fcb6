# The unit base and the unit types: label, shape box, group box, button and
# combo box. The gradient, figure and edit-selection arithmetic is neutral.
list(APPEND KAVREL_NEUTRAL_SOURCES
  src/units/unit_base.cc
  src/units/edit_selection.cc
  src/units/gradient.cc
  src/units/shape_figure.cc)
list(APPEND KAVREL_WIN32_SOURCES
  src/units/unit_base_win32.cc
  src/units/label_win32.cc
  src/units/shape_box_win32.cc
  src/units/button_win32.cc
  src/units/combo_box_win32.cc
  src/units/group_box_win32.cc)
