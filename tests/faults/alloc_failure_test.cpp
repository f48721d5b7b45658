// Allocation failure in the colour, line-type and OS families (other
// families refuse allocations through their own seams in their own suites).
// malloc, calloc and free are wrapped by the linker and operator new and
// delete replaced here, so any malloc, calloc or nothrow new can be refused.
// Each operation runs once per allocation it makes, with exactly that one
// failing: the result must be the documented one and nothing may leak.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include <gtest/gtest.h>

#include "platform/fake_os.h"
#include "qzutil/colour/colour_functions.h"
#include "qzutil/linetype/linetype_list.h"
#include "qzutil/os/osh_files.h"
#include "qzutil/os/osh_system.h"

extern "C" {
void* __real_malloc(std::size_t bytes);
void* __real_calloc(std::size_t count, std::size_t bytes);
void __real_free(void* block);
}

namespace {

int g_fail_at = 0;  // the allocation (from 1) to refuse; 0 while disarmed
int g_calls = 0;    // refusable allocations met since arming
void* g_live[256];  // blocks handed out while armed and not released since

bool Refuse() {
  return g_fail_at != 0 && ++g_calls == g_fail_at;
}
void* Track(void* block) {
  if (block == nullptr || g_fail_at == 0) return block;
  for (void*& slot : g_live)
    if (slot == nullptr) return slot = block;
  std::abort();  // more outstanding blocks than any operation here makes
}
void Release(void* block) {
  if (block == nullptr) return;
  for (void*& slot : g_live)
    if (slot == block) slot = nullptr;
  __real_free(block);
}

// Arms for the lifetime of the object: only the library call goes inside.
struct Armed {
  explicit Armed(int n) { g_calls = 0, g_fail_at = n; }
  ~Armed() { g_fail_at = 0; }
};

// Runs `attempt(n)` for n = 1, 2, ... until it meets fewer than n
// allocations, which must be `allocations`; `attempt` answers whether the
// outcome is the documented one for a failed allocation and releases
// whatever it made.
template <class Attempt>
void EachFailure(int allocations, Attempt attempt) {
  int n = 1;
  for (;; ++n) {
    std::memset(g_live, 0, sizeof g_live);
    const bool documented = attempt(n);
    if (g_calls < n) break;
    EXPECT_EQ(std::count(std::begin(g_live), std::end(g_live), nullptr), std::size(g_live))
        << "blocks leaked with allocation " << n << " refused";
    EXPECT_TRUE(documented) << "allocation " << n << " refused";
  }
  EXPECT_EQ(n - 1, allocations);
}

void* NewBlock(std::size_t bytes) {
  if (void* block = Track(__real_malloc(bytes != 0 ? bytes : 1))) return block;
  throw std::bad_alloc();
}

}  // namespace

extern "C" {
void* __wrap_malloc(std::size_t bytes) {
  return Refuse() ? nullptr : Track(__real_malloc(bytes));
}
void* __wrap_calloc(std::size_t count, std::size_t bytes) {
  return Refuse() ? nullptr : Track(__real_calloc(count, bytes));
}
void __wrap_free(void* block) {
  Release(block);
}
}
// The throwing forms are seen, never refused: nothing in the library
// expects them to fail.
void* operator new(std::size_t bytes) {
  return NewBlock(bytes);
}
void* operator new[](std::size_t bytes) {
  return NewBlock(bytes);
}
void* operator new(std::size_t bytes, const std::nothrow_t& /*tag*/) noexcept {
  return Refuse() ? nullptr : Track(__real_malloc(bytes != 0 ? bytes : 1));
}
void* operator new[](std::size_t bytes, const std::nothrow_t& /*tag*/) noexcept {
  return Refuse() ? nullptr : Track(__real_malloc(bytes != 0 ? bytes : 1));
}
void operator delete(void* block) noexcept {
  Release(block);
}
void operator delete[](void* block) noexcept {
  Release(block);
}
void operator delete(void* block, std::size_t /*bytes*/) noexcept {
  Release(block);
}
void operator delete[](void* block, std::size_t /*bytes*/) noexcept {
  Release(block);
}

namespace {

bool Empty(const ColorMap& m) {
  return m.numColors == 0 && m.mapSize == 0 && m.colors == nullptr;
}

TEST(AllocationFailure, ColourMapsListsAndTransformsAreLeftEmpty) {
  const std::int32_t values[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  const ColorMap source(3, 255, values);
  const ColorMap kept(source);
  EachFailure(2, [&](int n) {
    Armed a(n);
    const ColorMap m(3, 255, values), copy(source);
    return Empty(n == 1 ? m : copy);
  });
  EachFailure(1, [&](int n) {
    ColorMap m(5, 99);
    {
      Armed a(n);
      m = source;
    }
    return Empty(m) && m.maxValue == 255 && source.Identical(&kept) == 1;
  });
  EachFailure(2, [&](int n) {
    Armed a(n);
    ColorMap* m = ColOpen(4, 255);
    ColDeleteColorMap(m);
    return m == nullptr;
  });
  EachFailure(3, [&](int n) {
    Armed a(n);
    ColorXfm* x = ColOpenXfm(4);
    ColCloseXfm(&x);
    const ColorXfm y(4);
    return x == nullptr || (y.size == 0 && y.table == nullptr);
  });
  ColorRWMap indices(3);
  indices.count = 2;
  EachFailure(2, [&](int n) {
    Armed a(n);
    const ColorRWMap r(5), copy(indices);
    return (n == 1 ? r : copy).size == 0 && (n == 1 ? r : copy).list == nullptr;
  });
  EachFailure(1, [&](int n) {
    ColorRWMap r(7);
    {
      Armed a(n);
      r = indices;
    }
    return r.size == 0 && r.count == 0 && r.list == nullptr && indices.size == 3;
  });
}

TEST(AllocationFailure, LineTypeListsKeepWhatTheyCan) {
  // The constructor leaves out the built-in definition it cannot make.
  EachFailure(13, [&](int n) {
    Armed a(n);
    const CLineTypeDefList list;
    bool others_kept = list.numDefinitions == 12;
    for (int i = 0; i < list.numDefinitions; ++i)
      others_kept = others_kept && list.definitions[i]->index != std::uint32_t(n);
    return others_kept;
  });
  const CLineTypeDefList source;
  EachFailure(13, [&](int n) {
    Armed a(n);
    const CLineTypeDefList copy(source);
    return copy.numDefinitions == 0 && copy.nextIndex == 0;
  });
  EachFailure(13, [&](int n) {
    CLineTypeDefList target;
    CLineTypeDefinition* const first = target.definitions[0];
    target.definitions[0]->SetPatternLength(7.0);
    {
      Armed a(n);
      target = source;
    }
    return target.numDefinitions == 13 && target.definitions[0] == first &&
           first->patternLength == 7.0;
  });
}

TEST(AllocationFailure, OsLayerAnswersNullOrMinusOne) {
  EachFailure(1, [&](int n) {
    Armed a(n);
    char* path = osh_find_exec_path("some-name");
    std::free(path);
    return path == nullptr;
  });
  EachFailure(1, [&](int n) {
    std::int32_t r = 0;
    {
      Armed a(n);
      r = osh_setenv("QZ_FAULT_TEST", "1");
    }
    return r == -1 && std::getenv("QZ_FAULT_TEST") == nullptr;
  });
  qz::testing::FakeOs os;
  os.font_count = 3;
  EachFailure(5, [&](int n) {
    Armed a(n);
    char** list = osh_GetFontFileList();
    const bool failed = list == nullptr;
    osh_FreeFontFileList(&list);
    return failed;
  });
}

}  // namespace
