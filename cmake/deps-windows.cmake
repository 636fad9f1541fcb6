# libjpeg-turbo and libpng for the Windows target, built static from Debian's
# source packages (fetched by scripts/fetch-sources.sh), and zlib from the
# mingw-w64 package. KAVREL_PREBUILT_DEPS names the install folder of another
# build's libraries to link instead (the reproducibility check's second build).
include(ExternalProject)

find_library(KAVREL_ZLIB_A NAMES libz.a REQUIRED)
find_path(KAVREL_ZLIB_INCLUDE zlib.h REQUIRED)

if(KAVREL_PREBUILT_DEPS)
  set(KAVREL_DEPS_PREFIX ${KAVREL_PREBUILT_DEPS})
  foreach(lib libjpeg.a libpng16.a)
    if(NOT EXISTS ${KAVREL_DEPS_PREFIX}/lib/${lib})
      message(FATAL_ERROR "${KAVREL_DEPS_PREFIX}/lib/${lib} is not built")
    endif()
  endforeach()
else()
  set(KAVREL_DEBIAN_SRC ${CMAKE_BINARY_DIR}/debian-src)
  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/fetch-sources.sh ${KAVREL_DEBIAN_SRC}
                  RESULT_VARIABLE fetch_result)
  if(NOT fetch_result EQUAL 0)
    message(FATAL_ERROR "Debian's source packages of libjpeg-turbo and libpng could not be fetched")
  endif()

  set(KAVREL_DEPS_PREFIX ${CMAKE_BINARY_DIR}/deps)
  file(MAKE_DIRECTORY ${KAVREL_DEPS_PREFIX}/include)
  set(deps_args
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=${KAVREL_DEPS_PREFIX}
    -DCMAKE_POSITION_INDEPENDENT_CODE=OFF)

  ExternalProject_Add(dep_libjpeg
    SOURCE_DIR ${KAVREL_DEBIAN_SRC}/libjpeg-turbo
    BINARY_DIR ${CMAKE_BINARY_DIR}/deps-build/libjpeg
    CMAKE_ARGS ${deps_args} -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF
               -DWITH_SIMD=ON -DREQUIRE_SIMD=ON
    BUILD_BYPRODUCTS ${KAVREL_DEPS_PREFIX}/lib/libjpeg.a)

  ExternalProject_Add(dep_libpng
    SOURCE_DIR ${KAVREL_DEBIAN_SRC}/libpng
    BINARY_DIR ${CMAKE_BINARY_DIR}/deps-build/libpng
    CMAKE_ARGS ${deps_args} -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
               -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON
               -DZLIB_LIBRARY=${KAVREL_ZLIB_A} -DZLIB_INCLUDE_DIR=${KAVREL_ZLIB_INCLUDE}
    BUILD_BYPRODUCTS ${KAVREL_DEPS_PREFIX}/lib/libpng16.a)
endif()

add_library(kavrel_zlib STATIC IMPORTED)
set_target_properties(kavrel_zlib PROPERTIES IMPORTED_LOCATION ${KAVREL_ZLIB_A})
add_library(kavrel_jpeg STATIC IMPORTED)
set_target_properties(kavrel_jpeg PROPERTIES IMPORTED_LOCATION ${KAVREL_DEPS_PREFIX}/lib/libjpeg.a
                      INTERFACE_INCLUDE_DIRECTORIES ${KAVREL_DEPS_PREFIX}/include)
if(TARGET dep_libjpeg)
  add_dependencies(kavrel_jpeg dep_libjpeg)
endif()
add_library(kavrel_png STATIC IMPORTED)
set_target_properties(kavrel_png PROPERTIES IMPORTED_LOCATION ${KAVREL_DEPS_PREFIX}/lib/libpng16.a
                      INTERFACE_INCLUDE_DIRECTORIES "${KAVREL_DEPS_PREFIX}/include;${KAVREL_ZLIB_INCLUDE}"
                      INTERFACE_LINK_LIBRARIES kavrel_zlib)
if(TARGET dep_libpng)
  add_dependencies(kavrel_png dep_libpng)
endif()
