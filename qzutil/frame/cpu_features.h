// Internal: what the processor can run, and the once-made, test-overridable
// choice of instruction set shared by the families with vectorised loops.
// Not installed.
//
// SSE2 is not probed: every x86-64 build targets it, and so does every 32-bit
// x86 build, which needs it for its arithmetic (cpu_features.cpp); whether a
// family has SSE2 loops is a property of the build, which the family decides
// itself.
#ifndef QZUTIL_FRAME_CPU_FEATURES_H
#define QZUTIL_FRAME_CPU_FEATURES_H

namespace qz::detail {

enum class CpuFeature {
  kSsse3,
  kAvx,
  kAvx2,
  kAvx512Bw,    // AVX-512 foundation and BW: 32- and 16-bit lanes, masks, permutes
  kAvx512Vbmi,  // AVX-512 BW and VBMI together: the byte permutes need both
};

// True when this processor and operating system can run `feature` (the
// compiler's probe also checks that the system saves the wider registers).
// False on non-x86 processors and with compilers that have no such probe.
// Cheap but not free: callers that ask per call cache the answer.
bool CpuSupports(CpuFeature feature);

// The instruction set a family's loops run with: the best one, chosen on
// first use, unless a test or a benchmark has chosen another. `Available`
// says whether the build contains a set and the processor can run it; `Best`
// names the fastest such set and is called at most once.
//
// A KernelChoice at namespace scope is constant-initialised, so loading the
// library runs no code. Use and UseBest are not thread-safe (tests and
// benchmarks only); Active is, once the first call has returned.
template <class Set, bool (*Available)(Set), Set (*Best)()>
class KernelChoice {
 public:
  constexpr KernelChoice() = default;

  // Runs the loops with `set` from now on; does nothing if it is not
  // available.
  void Use(Set set) {
    if (!Available(set)) return;
    override_ = set;
    overridden_ = true;
  }

  // Restores the automatic choice.
  void UseBest() { overridden_ = false; }

  Set Active() const {
    if (overridden_) return override_;
    static const Set best = Best();
    return best;
  }

 private:
  bool overridden_ = false;
  Set override_{};
};

}  // namespace qz::detail

#endif  // QZUTIL_FRAME_CPU_FEATURES_H
