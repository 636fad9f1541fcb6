# The window engine: the window unit, event dispatch, property access,
# painting, input and closing; and the runtime's unit library. Style rules,
# key codes, handler lookup and value conversions are neutral.
list(APPEND KAVREL_NEUTRAL_SOURCES
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
  src/window/window_engine_properties_win32.cc
  src/units/unit_library.cc)
