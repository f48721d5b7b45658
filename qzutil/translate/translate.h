// Binary data translation between machines of different conventions: byte
// order by primitive type code, bit order within bytes, ASCII and EBCDIC
// text, and IEEE and IBM hexadecimal floating point.
//
// The functions work on caller buffers, keep no state and allocate nothing;
// they may run on several threads at once on distinct buffers. Where a
// source and a destination are both given they may be the same buffer
// (in-place translation); partially overlapping buffers are not supported.
//
// Primitive type codes (one byte, the low four bits give the element size):
//   0x42, 0x52, 0x62  2-byte elements
//   0x74, 0x84, 0x94  4-byte elements
//   0xA4              4-byte elements, also the 4-byte floating-point code
//   0xB8              8-byte elements, also the 8-byte floating-point code
#ifndef QZUTIL_TRANSLATE_TRANSLATE_H
#define QZUTIL_TRANSLATE_TRANSLATE_H

#include <cstdint>

#include "qzutil/export.h"

QZ_EXTERN_C_BEGIN

// Reverse, in place, the 2, 4 or 8 bytes at p.
QZ_API void tra_swap_2(unsigned char* p);
QZ_API void tra_swap_4(unsigned char* p);
QZ_API void tra_swap_8(unsigned char* p);

// Reverses the bytes of each of `count` elements of the size that `type`
// names, reading src and writing dst. A code other than the eight above is a
// programming error: the call prints "tra_swap_bytes: invalid primitive
// type <code>" on standard output and ends the process with status 1, before
// any byte is read or written (also when count is 0).
QZ_API void tra_swap_bytes(unsigned short type, std::uint32_t count, unsigned char* src,
                           unsigned char* dst);

// Reverses the bit order within each of `count` bytes (bit 0 becomes bit 7).
QZ_API void tra_reverse_bits(unsigned short count, unsigned char* src, unsigned char* dst);

// Translates `count` bytes through a 256-entry table: conversion 1 is ASCII
// to EBCDIC (code page 037 with a few deviations; bytes above 127 translate
// as the byte with its top bit cleared), conversion 2 is EBCDIC to ASCII
// (codes with no ASCII counterpart give 0). Any other conversion prints
// "tra_convert_charset: invalid conversion <hex>" on standard output and ends
// the process with status 1 before any byte is touched.
QZ_API void tra_convert_charset(short conversion, unsigned short count, unsigned char* src,
                                unsigned char* dst);

// Converts `count` floating-point numbers of `type` (0xA4 single, 0xB8
// double; each a little-endian word) from src to dst. `mode` is masked with
// 0xFC: 0 copies, 4 converts IEEE to IBM, 16 converts IBM to IEEE. Dropped
// bits are truncated, never rounded; out-of-range values saturate or become
// zero. Any other type or mode writes a diagnostic line on standard error and
// returns with dst untouched. Big-endian data from IBM machines needs a
// separate tra_swap_bytes.
QZ_API void tra_convert_flpt(std::int32_t mode, unsigned short type, unsigned short count,
                             unsigned char* src, unsigned char* dst);

QZ_EXTERN_C_END

#endif  // QZUTIL_TRANSLATE_TRANSLATE_H
