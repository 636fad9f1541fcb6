# Property records and blob codecs of every unit type.
list(APPEND KAVREL_NEUTRAL_SOURCES
  src/units/label_props.cc
  src/units/shape_box_props.cc
  src/units/group_box_props.cc
  src/units/button_props.cc
  src/units/combo_box_props.cc)
