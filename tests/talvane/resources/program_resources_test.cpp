// The resources the system itself reads from the program: the icon, the
// version block (file properties) and the manifest (loader).
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "resource.h"
#include "talvane_version.h"

namespace talvane::resources_test {
namespace {

std::string resourceBytes(LPCWSTR type, int id) {
  const HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
  const auto* data =
      static_cast<const char*>(info ? LockResource(LoadResource(nullptr, info)) : nullptr);
  return data ? std::string(data, SizeofResource(nullptr, info)) : std::string();
}

TEST(ProgramResources, IconHas16And32And48PixelImages) {
  // A 6-byte header ending in the count, then 14-byte entries led by the width.
  const std::string group = resourceBytes(RT_GROUP_ICON, IDR_MAINFRAME);
  std::set<int> widths;
  for (std::size_t entry = 6; entry + 14 <= group.size(); entry += 14) {
    widths.insert(static_cast<unsigned char>(group[entry]));
  }
  EXPECT_EQ(widths, (std::set<int>{16, 32, 48}));
}

TEST(ProgramResources, VersionNamesTheProgramAndItsVersion) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::vector<BYTE> block(GetFileVersionInfoSizeW(path, nullptr));
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data()));
  const std::pair<const wchar_t*, const wchar_t*> fields[] = {
      {L"FileDescription", L"Talvane"},
      {L"ProductName", L"Talvane"},
      {L"OriginalFilename", L"talvane.exe"},
      {L"FileVersion", L"" TALVANE_VERSION_TEXT}};
  for (const auto& [name, expected] : fields) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    ASSERT_TRUE(VerQueryValueW(block.data(), key.c_str(), &value, &length)) << name;
    EXPECT_STREQ(static_cast<const wchar_t*>(value), expected);
  }
}

// Every name and language under RT_MANIFEST, by the name's number.
BOOL CALLBACK collectManifest(HMODULE, LPCWSTR, LPCWSTR name, WORD, LONG_PTR found) {
  reinterpret_cast<std::vector<ULONG_PTR>*>(found)->push_back(reinterpret_cast<ULONG_PTR>(name));
  return TRUE;
}

BOOL CALLBACK collectLanguages(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR found) {
  return EnumResourceLanguagesW(module, type, name, collectManifest, found);
}

// The loader takes the manifest from RT_MANIFEST 1; a second one (such as
// a toolchain's default manifest) would make the choice ambiguous.
TEST(ProgramResources, OneManifestAskingForCommonControls6AsInvokerAndDpiAwareness) {
  std::vector<ULONG_PTR> names;
  EnumResourceNamesW(nullptr, RT_MANIFEST, collectLanguages, reinterpret_cast<LONG_PTR>(&names));
  EXPECT_EQ(names, std::vector<ULONG_PTR>{IDR_MANIFEST});
  const std::string text = resourceBytes(RT_MANIFEST, IDR_MANIFEST);
  for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                           "publicKeyToken=\"6595b64144ccf1df\"", "level=\"asInvoker\"",
                           ">true</dpiAware>", ">PerMonitorV2, PerMonitor</dpiAwareness>"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace talvane::resources_test
