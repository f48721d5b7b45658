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
//   32-bit int / long                -> std::int32_t
//   32-bit unsigned / unsigned long  -> std::uint32_t
//   one machine word (int or pointer)-> std::intptr_t
#ifndef QZUTIL_EXPORT_H
#define QZUTIL_EXPORT_H

#if defined(_WIN32)
#if defined(QZUTIL_BUILDING)
#define QZ_API __declspec(dllexport)
#else
#define QZ_API __declspec(dllimport)
#endif
#else
#define QZ_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
#define QZ_EXTERN_C_BEGIN extern "C" {
#define QZ_EXTERN_C_END }
#else
#define QZ_EXTERN_C_BEGIN
#define QZ_EXTERN_C_END
#endif

#endif  // QZUTIL_EXPORT_H
