// How many cases the long randomised tests generate: all of them in a native
// run, a tenth when the suites run under instruction-set emulation (the
// 32-bit x86 build under qemu-i386, QZUTIL_TESTS_EMULATED). There the 32-bit
// maths library's x87 code is emulated in software, a few hundred times
// slower than natively, and the full counts would take many minutes. The
// cases kept are the first ones of the same sequence, so every form that the
// loop counters cycle through still comes up.
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
