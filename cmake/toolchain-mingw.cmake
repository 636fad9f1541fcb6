# What both Windows targets share: mingw-w64 with POSIX threads, the target's
# own root for libraries and headers. The toolchain file that includes this
# sets CMAKE_SYSTEM_PROCESSOR and TOOLCHAIN_PREFIX first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
# libjpeg-turbo's SIMD code; the wrapper keeps the build folder out of it.
set(CMAKE_ASM_NASM_COMPILER ${CMAKE_CURRENT_LIST_DIR}/../scripts/nasm-relative.sh)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Deterministic archives (no dates, owners or modes in their members), for
# the dependency builds too, which use this file. The rules go in through the
# override file because CMake's Windows-GNU platform file sets its own.
set(CMAKE_USER_MAKE_RULES_OVERRIDE ${CMAKE_CURRENT_LIST_DIR}/deterministic-archives.cmake)
