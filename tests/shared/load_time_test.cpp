// Reads the shared object's ELF file: only the entry point's hook and the
// toolchain's start-up code run at load time, no static initialiser.
#include <gtest/gtest.h>

#if defined(__ELF__)

#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "qzutil/qzutil.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
#define QZ_INSTRUMENTED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QZ_INSTRUMENTED 1
#endif
#endif

template <typename T>
T Read(const std::vector<char>& file, std::size_t offset) {
  T value{};
  if (offset + sizeof(T) <= file.size()) std::memcpy(&value, file.data() + offset, sizeof(T));
  return value;
}

// The functions named by .preinit_array, .init_array and .ctors (end markers
// skipped); a slot's target is its RELA addend if relocated, else its word.
[[maybe_unused]] std::vector<std::string> LoadTimeFunctions(const std::vector<char>& file,
                                                            bool* has_symbols) {
  const auto header = Read<ElfW(Ehdr)>(file, 0);
  std::vector<ElfW(Shdr)> sections;
  for (unsigned i = 0; i < header.e_shnum; ++i)
    sections.push_back(Read<ElfW(Shdr)>(file, header.e_shoff + i * sizeof(ElfW(Shdr))));
  std::vector<ElfW(Sym)> symbols;
  const ElfW(Shdr)* names = nullptr;
  std::vector<ElfW(Rela)> relocations;
  for (const ElfW(Shdr) & s : sections) {
    if (s.sh_type == SHT_SYMTAB) {
      names = &sections.at(s.sh_link);
      for (std::size_t at = 0; at + sizeof(ElfW(Sym)) <= s.sh_size; at += sizeof(ElfW(Sym)))
        symbols.push_back(Read<ElfW(Sym)>(file, s.sh_offset + at));
    }
    for (std::size_t at = 0; s.sh_type == SHT_RELA && at < s.sh_size; at += sizeof(ElfW(Rela)))
      relocations.push_back(Read<ElfW(Rela)>(file, s.sh_offset + at));
  }
  *has_symbols = names != nullptr;
  std::vector<std::string> found;
  for (const ElfW(Shdr) & s : sections) {
    const std::string name = file.data() + sections.at(header.e_shstrndx).sh_offset + s.sh_name;
    if (name != ".init_array" && name != ".preinit_array" && name != ".ctors") continue;
    for (std::size_t at = 0; at < s.sh_size; at += sizeof(ElfW(Addr))) {
      auto target = Read<ElfW(Addr)>(file, s.sh_offset + at);
      for (const ElfW(Rela) & r : relocations)
        if (r.r_offset == s.sh_addr + at) target = static_cast<ElfW(Addr)>(r.r_addend);
      if (target == 0 || target == static_cast<ElfW(Addr)>(-1)) continue;
      found.push_back("unnamed function in " + name);
      for (const ElfW(Sym) & sym : symbols)
        if (sym.st_value == target && ELF64_ST_TYPE(sym.st_info) == STT_FUNC)
          found.back() = file.data() + names->sh_offset + sym.st_name;
    }
  }
  return found;
}

TEST(SharedLibrary, NothingButTheEntryPointRunsAtLoadTime) {
#if defined(QZ_INSTRUMENTED)
  GTEST_SKIP() << "the sanitizers add initialisers of their own";
#else
  Dl_info info{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&MemPoolNew), &info), 0);
  std::ifstream in(info.dli_fname, std::ios::binary);
  const std::vector<char> file{std::istreambuf_iterator<char>(in), {}};
  ASSERT_EQ(std::memcmp(file.data(), ELFMAG, SELFMAG), 0) << info.dli_fname;
  bool has_symbols = false;
  const std::vector<std::string> functions = LoadTimeFunctions(file, &has_symbols);
  if (!has_symbols) GTEST_SKIP() << info.dli_fname << " is stripped";
  // The toolchain's own: C runtime frame info, the compiler's processor probe.
  const std::set<std::string> toolchain = {"frame_dummy", "__cpu_indicator_init",
                                           "init_have_lse_atomics"};
  int hooks = 0;
  for (const std::string& function : functions) {
    const bool hook = function.find("qz_load_hook") != std::string::npos;
    hooks += hook ? 1 : 0;
    EXPECT_TRUE(hook || toolchain.count(function) != 0) << "runs at load time: " << function;
  }
  EXPECT_EQ(hooks, 1);
#endif
}

}  // namespace

#endif  // __ELF__
