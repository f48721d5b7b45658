# Compile options shared by the library, its tests, examples and benchmarks.
add_library(qzutil_options INTERFACE)
target_compile_options(qzutil_options INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion>
  # Results must be bit-exact to the written formulas: never fuse a*b+c.
  $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-ffp-contract=off>
  $<$<CXX_COMPILER_ID:MSVC>:/W4 /fp:precise>)

# 32-bit x86 (Linux -m32, MinGW i686, ...). The compilers' default there is
# x87 arithmetic, which keeps intermediates in 80-bit registers and rounds
# them to double only when it spills, so matrix products, device rounding and
# every other double result would differ from the formulas in the last bits,
# and from one optimisation level to the next. SSE2 scalar arithmetic rounds
# each operation to double, as on x86-64. QZUTIL_X86_FP_FLAGS is handed on to
# consumers (the exported target and the pkg-config file), so that a host
# that computes with the headers' types rounds the same way.
set(QZUTIL_X86_FP_FLAGS "")
set(QZUTIL_X86_FP_CONSUMER_OPTIONS "")
if(CMAKE_SIZEOF_VOID_P EQUAL 4
   AND CMAKE_SYSTEM_PROCESSOR MATCHES "^([iI][3-6]86|x86|X86|x86_64|AMD64|amd64)$")
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    set(QZUTIL_X86_FP_FLAGS -msse2 -mfpmath=sse)
  elseif(MSVC)
    set(QZUTIL_X86_FP_FLAGS /arch:SSE2)
  endif()
  target_compile_options(qzutil_options INTERFACE ${QZUTIL_X86_FP_FLAGS})
  # For consumers, each flag only for the compilers that take it.
  if(MSVC)
    set(qz_fp_compilers MSVC)
  else()
    set(qz_fp_compilers GNU,Clang)
  endif()
  foreach(flag IN LISTS QZUTIL_X86_FP_FLAGS)
    list(APPEND QZUTIL_X86_FP_CONSUMER_OPTIONS "$<$<CXX_COMPILER_ID:${qz_fp_compilers}>:${flag}>")
  endforeach()
  # SSE2 has no 64-bit integer conversions on 32-bit x86, so those still go
  # through x87 registers, where GCC's C++ default (fast excess precision) may
  # skip a rounding to float or double. GCC 13 can be told not to; the
  # library's code does not rely on it (see colour_map.cpp).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 13)
    target_compile_options(qzutil_options INTERFACE -fexcess-precision=standard)
  endif()
  # File offsets, sizes and times beyond 2 GiB and 2038 through the POSIX
  # calls (glibc: stat and readdir fail with EOVERFLOW on large inode
  # numbers otherwise). No installed header uses off_t or time_t, so the
  # choice stays inside the library.
  if(NOT WIN32)
    target_compile_definitions(qzutil_options INTERFACE _FILE_OFFSET_BITS=64 _TIME_BITS=64)
  endif()
endif()

if(QZUTIL_WERROR)
  target_compile_options(qzutil_options INTERFACE
    $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-Werror> $<$<CXX_COMPILER_ID:MSVC>:/WX>)
endif()
if(QZUTIL_SANITIZE)
  set(_qz_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(qzutil_options INTERFACE ${_qz_san})
  target_link_options(qzutil_options INTERFACE ${_qz_san})
endif()
