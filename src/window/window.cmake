# The window engine: the window unit, event dispatch, property access,
# painting, input and closing; and the table of every unit type. Style rules,
# key codes, handler lookup, value conversions and the window's property
# record are neutral.
list(APPEND KAVREL_NEUTRAL_SOURCES
  src/window/window_props.cc
  src/window/window_style.cc
  src/window/key_codes.cc
  src/window/unit_types.cc
  src/window/event_dispatch.cc
  src/window/property_access.cc)
list(APPEND KAVREL_WIN32_SOURCES
  src/window/window_type.cc
  src/window/window_unit_win32.cc
  src/window/window_unit_properties_win32.cc
  src/window/window_unit_input_win32.cc
  src/window/window_engine_win32.cc
  src/window/window_load_win32.cc
  src/window/window_engine_properties_win32.cc
  src/window/unit_library.cc)
