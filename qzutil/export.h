// Export rules shared by every public header of qzutil.
//
// The library is built with hidden visibility; QZ_API marks the functions,
// classes and variables that form its interface. Plain functions are declared
// inside QZ_EXTERN_C_BEGIN / QZ_EXTERN_C_END so they are exported under their
// plain (unmangled) names; classes and their members keep C++ linkage.
//
// Integer widths are those of the 32-bit Windows ABI the interface was
// designed for, made explicit so that they hold on 64-bit hosts too:
//   16-bit yes/no answers and flags  -> unsigned short
//   32-bit int / long                -> int32_t
//   32-bit unsigned / unsigned long  -> uint32_t
//   one machine word (int or pointer)-> intptr_t
//
// The headers of the plain-function families (and this one) are valid C99 as
// well as C++11, so a host written in C can include them: they take the
// <stdint.h> names (the same types as std::int32_t and friends), use no
// namespaces, references or default arguments outside `#ifdef __cplusplus`,
// and open the extern "C" block only for C++. Declarations that only C++ can
// use (classes, functions with C++ linkage) stay inside `#ifdef __cplusplus`.
#ifndef QZUTIL_EXPORT_H
#define QZUTIL_EXPORT_H

#include <stdint.h>
#ifdef __cplusplus
// C++ callers keep the std:: names of the same types.
#include <cstdint>
#endif

#if defined(_WIN32)
#if defined(QZUTIL_BUILDING)
#define QZ_API __declspec(dllexport)
#else
#define QZ_API __declspec(dllimport)
#endif
#elif defined(__GNUC__) || defined(__clang__)
#define QZ_API __attribute__((visibility("default")))
#else
#define QZ_API
#endif

#ifdef __cplusplus
#define QZ_EXTERN_C_BEGIN extern "C" {
#define QZ_EXTERN_C_END }
#else
#define QZ_EXTERN_C_BEGIN
#define QZ_EXTERN_C_END
#endif

#endif  // QZUTIL_EXPORT_H
