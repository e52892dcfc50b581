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

std::vector<BYTE> resourceBytes(LPCWSTR type, int id) {
  const HMODULE self = GetModuleHandleW(nullptr);
  const HRSRC info = FindResourceW(self, MAKEINTRESOURCEW(id), type);
  const auto* data =
      static_cast<const BYTE*>(info ? LockResource(LoadResource(self, info)) : nullptr);
  return data == nullptr ? std::vector<BYTE>{}
                         : std::vector<BYTE>(data, data + SizeofResource(self, info));
}

TEST(ProgramIcon, Has16And32And48PixelImages) {
  // A 6-byte header ending in the count, then 14-byte entries led by the width.
  const auto group = resourceBytes(RT_GROUP_ICON, IDR_MAINFRAME);
  const size_t count = group.size() >= 6 ? group[4] | group[5] << 8 : 0;
  std::set<int> widths;
  for (size_t entry = 6; entry < 6 + 14 * count && entry < group.size(); entry += 14) {
    widths.insert(group[entry]);
  }
  EXPECT_EQ(widths, (std::set<int>{16, 32, 48}));
}

TEST(ProgramVersion, NamesTheProgramAndItsVersion) {
  WCHAR path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::vector<BYTE> block(GetFileVersionInfoSizeW(path, nullptr));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data()));
  const auto text = [&block](const std::wstring& name) -> std::wstring {
    void* value = nullptr;
    UINT length = 0;
    const auto key = L"\\StringFileInfo\\040904b0\\" + name;
    if (!VerQueryValueW(block.data(), key.c_str(), &value, &length)) return L"(none)";
    return static_cast<const wchar_t*>(value);
  };
  EXPECT_EQ(text(L"FileDescription"), L"Talvane");
  EXPECT_EQ(text(L"ProductName"), L"Talvane");
  EXPECT_EQ(text(L"OriginalFilename"), L"talvane.exe");
  EXPECT_EQ(text(L"FileVersion"), L"" TALVANE_VERSION_TEXT);
}

// Every name and language under RT_MANIFEST, by the name's number.
BOOL CALLBACK collectManifest(HMODULE, LPCWSTR, LPCWSTR name, WORD, LONG_PTR found) {
  reinterpret_cast<std::vector<ULONG_PTR>*>(found)->push_back(reinterpret_cast<ULONG_PTR>(name));
  return TRUE;
}

BOOL CALLBACK collectLanguages(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR found) {
  return EnumResourceLanguagesW(module, type, name, collectManifest, found);
}

// The loader takes the process's manifest from RT_MANIFEST 1; a second one
// (such as a toolchain's default manifest) would make the choice ambiguous.
TEST(ProgramManifest, IsTheOnlyOneAndAsksForCommonControls6AsInvokerAndDpiAwareness) {
  std::vector<ULONG_PTR> manifests;
  EnumResourceNamesW(GetModuleHandleW(nullptr), RT_MANIFEST, collectLanguages,
                     reinterpret_cast<LONG_PTR>(&manifests));
  EXPECT_EQ(manifests, std::vector<ULONG_PTR>{IDR_MANIFEST});

  const auto bytes = resourceBytes(RT_MANIFEST, IDR_MANIFEST);
  const std::string text(bytes.begin(), bytes.end());
  for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                           "publicKeyToken=\"6595b64144ccf1df\"", "level=\"asInvoker\"",
                           ">true</dpiAware>", ">PerMonitorV2, PerMonitor</dpiAwareness>"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace talvane::resources_test
