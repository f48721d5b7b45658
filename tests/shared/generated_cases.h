// How many cases the long randomised tests generate: a tenth, the first ones
// of the same sequence, under qemu-i386 (QZUTIL_TESTS_EMULATED), where x87
// maths is emulated a few hundred times slower than native.
#ifndef QZUTIL_TESTS_SHARED_GENERATED_CASES_H
#define QZUTIL_TESTS_SHARED_GENERATED_CASES_H

namespace qz::test {

template <class Count>
constexpr Count GeneratedCases(Count native) {
#if defined(QZUTIL_TESTS_EMULATED) && QZUTIL_TESTS_EMULATED
  return native / 10;
#else
  return native;
#endif
}

}  // namespace qz::test

#endif  // QZUTIL_TESTS_SHARED_GENERATED_CASES_H
