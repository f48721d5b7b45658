# Instrumentation of a fuzzing build: every object of the library and of the
# targets gets coverage feedback for libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer (any report aborts the run).
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "QZUTIL_BUILD_FUZZERS needs Clang (e.g. -DCMAKE_CXX_COMPILER=clang++-14)")
endif()
target_compile_options(qzutil_options INTERFACE
  -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_link_options(qzutil_options INTERFACE -fsanitize=address,undefined)
