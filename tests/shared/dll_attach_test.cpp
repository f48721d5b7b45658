// The Windows DLL as the loader sees it: no TLS directory, so thread
// notifications can be turned off, and a fresh image attaches on its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/temp_dir.h"
#include "qzutil/qzutil.h"

namespace {

const IMAGE_DATA_DIRECTORY& TlsDirectoryOf(HMODULE module) {
  const auto* base = reinterpret_cast<const unsigned char*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  return nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS];
}

TEST(Dll, HasNoTlsDirectoryAndAFreshCopyAttachesAloneInItsFolder) {
  const HMODULE module = ::GetModuleHandleA("libqzutil.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(TlsDirectoryOf(module).VirtualAddress, 0u);
  char path[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameA(module, path, MAX_PATH), 0u);
  qz::testing::TempDir dir;
  const std::string copy = dir / "qzcopy.dll";
  std::filesystem::copy_file(path, copy);
  // Its entry point runs the whole first attach; a failure fails the load.
  const HMODULE fresh = ::LoadLibraryA(copy.c_str());
  ASSERT_NE(fresh, nullptr) << ::GetLastError();
  EXPECT_NE(fresh, module);
  EXPECT_EQ(TlsDirectoryOf(fresh).VirtualAddress, 0u);
  EXPECT_NE(::DisableThreadLibraryCalls(fresh), FALSE) << ::GetLastError();
  const auto flag = reinterpret_cast<const std::int32_t*>(
      reinterpret_cast<void*>(::GetProcAddress(fresh, "trcActivated")));
  ASSERT_NE(flag, nullptr);
  EXPECT_EQ(*flag, 1);  // its own static initial value, settings not yet read
  EXPECT_NE(::FreeLibrary(fresh), FALSE);
}

}  // namespace
