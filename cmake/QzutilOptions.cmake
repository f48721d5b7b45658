# Compile options shared by the library, its tests, examples and benchmarks.
add_library(qzutil_options INTERFACE)
target_compile_options(qzutil_options INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion>
  # Results must be bit-exact to the written formulas: never fuse a*b+c.
  $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-ffp-contract=off>
  $<$<CXX_COMPILER_ID:MSVC>:/W4 /fp:precise>)
if(QZUTIL_WERROR)
  target_compile_options(qzutil_options INTERFACE
    $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-Werror> $<$<CXX_COMPILER_ID:MSVC>:/WX>)
endif()
if(QZUTIL_SANITIZE)
  set(_qz_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(qzutil_options INTERFACE ${_qz_san})
  target_link_options(qzutil_options INTERFACE ${_qz_san})
endif()
