# Read after CMake's platform files (CMAKE_USER_MAKE_RULES_OVERRIDE, set by
# the Windows toolchain file): archives without dates, owners or modes.
foreach(lang C CXX ASM_NASM)
  set(CMAKE_${lang}_ARCHIVE_CREATE "<CMAKE_AR> qcD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_APPEND "<CMAKE_AR> qD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_FINISH "<CMAKE_RANLIB> -D <TARGET>")
endforeach()
