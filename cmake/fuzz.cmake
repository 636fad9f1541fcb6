# The fuzz build: each target links the neutral code built with clang,
# libFuzzer, ASan and UBSan. scripts/run-fuzz.sh runs them over their seeds.
enable_testing()
find_package(JPEG REQUIRED)
find_package(PNG REQUIRED)
find_package(ZLIB REQUIRED)

set(KAVREL_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_library(kavrel_neutral_fuzz STATIC ${KAVREL_NEUTRAL_SOURCES})
target_include_directories(kavrel_neutral_fuzz PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(kavrel_neutral_fuzz PUBLIC ${KAVREL_FUZZ_FLAGS})
target_compile_definitions(kavrel_neutral_fuzz PUBLIC KAVREL_GENERATED_DIR="${KAVREL_GENERATED_DIR}")
target_link_libraries(kavrel_neutral_fuzz PUBLIC JPEG::JPEG PNG::PNG ZLIB::ZLIB)

set(KAVREL_FUZZ_SECONDS 10 CACHE STRING "Seconds each fuzz target runs in the test suite")
foreach(name ${KAVREL_FUZZ_TARGETS})
  add_executable(${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/${name}.cc)
  target_link_libraries(${name} PRIVATE kavrel_neutral_fuzz)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  add_test(NAME ${name}
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/run-fuzz.sh $<TARGET_FILE:${name}> ${KAVREL_FUZZ_SECONDS}
                   ${CMAKE_SOURCE_DIR}/tests/fuzz/seeds/${name} ${KAVREL_GENERATED_DIR}/seeds/${name})
endforeach()
