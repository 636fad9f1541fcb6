# The Windows target for machines that cannot run 32-bit x86 code: the same
# sources for 64-bit, mingw-w64 with POSIX threads, everything static.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
