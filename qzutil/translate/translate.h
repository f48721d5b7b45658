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

#include <stdint.h>

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
QZ_API void tra_swap_bytes(unsigned short type, uint32_t count, unsigned char* src,
                           unsigned char* dst);

// Reverses the bit order within each of `count` bytes (bit 0 becomes bit 7).
QZ_API void tra_reverse_bits(unsigned short count, unsigned char* src, unsigned char* dst);

// Translates `count` bytes through a 256-entry table: conversion 1 is ASCII
// to EBCDIC (code page 037 with a few deviations; bytes above 127 translate
// as the byte with its top bit cleared), conversion 2 is EBCDIC to ASCII
// (codes with no ASCII counterpart give 0). A round trip gives back every
// ASCII character except DC3 (comes back as 0) and '_' (comes back as '-').
// Any other conversion prints "tra_convert_charset: invalid conversion <hex>"
// on standard output and ends the process with status 1 before any byte is
// touched (also when count is 0).
QZ_API void tra_convert_charset(short conversion, unsigned short count, unsigned char* src,
                                unsigned char* dst);

// Converts `count` floating-point numbers of `type` (0xA4 single, 0xB8
// double; each a little-endian word) from src to dst. `mode` is masked with
// 0xFC: 0 copies (no byte reversal), 4 converts IEEE to IBM, 16 converts IBM
// to IEEE. Dropped bits are truncated, never rounded; out-of-range values
// saturate or become zero. Any other type or mode writes
// "ZRK MSG(tra_prm0,409): tra_convert_flpt: unimplemented conversion" on
// standard error and returns with dst untouched (also when count is 0).
// Big-endian data from IBM machines needs a separate tra_swap_bytes; buffers
// of more than 65535 elements go in several calls.
//
// Special values, IEEE to IBM: an infinity gives the largest IBM magnitude
// with its sign; a NaN a zero fraction under a non-zero exponent (0x20 in
// single width, 0x7F in double width), which converts back to a NaN; a zero,
// whatever its sign, gives all bytes 0, and so does every double below
// 2^-312 (double subnormals included). Single subnormals convert; doubles
// from 2^-312 up to 16^-65 come out with IBM exponent 0 and an unnormalised
// fraction. IBM to IEEE: a zero fraction under exponent 0 is a zero, under
// any other exponent a NaN; in single width the sign is kept (0x80000000
// gives -0.0), in double width any non-zero top byte, 0x80 included, gives
// the all-ones NaN. Singles beyond the IEEE range give infinities, below it
// subnormals or zeros (truncated); every IBM double is a normal IEEE double.
QZ_API void tra_convert_flpt(int32_t mode, unsigned short type, unsigned short count,
                             unsigned char* src, unsigned char* dst);

QZ_EXTERN_C_END

#endif  // QZUTIL_TRANSLATE_TRANSLATE_H
