# Small neutral helpers every module may use.
list(APPEND KAVREL_NEUTRAL_SOURCES
  src/base/code_page.cc)
