# The application core: RuntimeApp, start-up, loop, shutdown, the fatal
# report and the services table. The texts, lists and path split are neutral.
list(APPEND KAVREL_NEUTRAL_SOURCES
  src/app/exe_path.cc
  src/app/fatal_text.cc
  src/app/runtime_lists.cc)
list(APPEND KAVREL_WIN32_SOURCES
  src/app/runtime_app_win32.cc
  src/app/runtime_services_win32.cc)
