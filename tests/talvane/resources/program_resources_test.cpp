// The resources the system itself reads from the program: the icon, the
// version block (file properties) and the manifest (loader).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "resource.h"
#include "resource_reader.h"
#include "talvane_version.h"

namespace talvane::resources_test {
namespace {

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width;
  BYTE height;
  BYTE colourCount;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytesInResource;
  WORD iconId;
};
#pragma pack(pop)

std::vector<GroupIconEntry> groupIconEntries(int id) {
  const auto bytes = resourceBytes(RT_GROUP_ICON, id);
  std::vector<GroupIconEntry> entries;
  WORD count = 0;
  if (bytes.size() >= 3 * sizeof(WORD)) std::memcpy(&count, bytes.data() + 4, sizeof(count));
  for (size_t index = 0; index < count; ++index) {
    const size_t offset = 3 * sizeof(WORD) + index * sizeof(GroupIconEntry);
    if (offset + sizeof(GroupIconEntry) > bytes.size()) break;
    GroupIconEntry entry{};
    std::memcpy(&entry, bytes.data() + offset, sizeof(entry));
    entries.push_back(entry);
  }
  return entries;
}

// Alpha of the pixel at (x, y) from the top of a 32-bit icon image.
BYTE alphaAt(const std::vector<BYTE>& image, int size, int x, int y) {
  const size_t row = static_cast<size_t>(size - 1 - y);  // rows are stored bottom-up
  const size_t offset = sizeof(BITMAPINFOHEADER) + (row * static_cast<size_t>(size) + x) * 4 + 3;
  return offset < image.size() ? image[offset] : BYTE{0};
}

TEST(ProgramIcon, Has16And32And48PixelImagesWithAlpha) {
  const auto entries = groupIconEntries(IDR_MAINFRAME);
  std::set<int> sizes;
  for (const auto& entry : entries) {
    const int size = entry.width;
    sizes.insert(size);
    SCOPED_TRACE(testing::Message() << size << " px");
    EXPECT_EQ(entry.height, entry.width);
    EXPECT_EQ(entry.bitCount, 32);
    const auto image = resourceBytes(RT_ICON, entry.iconId);
    BITMAPINFOHEADER header{};
    ASSERT_GE(image.size(), sizeof(header));
    std::memcpy(&header, image.data(), sizeof(header));
    EXPECT_EQ(header.biWidth, size);
    EXPECT_EQ(header.biHeight, 2 * size);  // colour image and mask
    EXPECT_EQ(header.biBitCount, 32);
    // Transparent round the picture, opaque at the hub's front.
    EXPECT_EQ(alphaAt(image, size, 0, 0), 0);
    EXPECT_EQ(alphaAt(image, size, size / 2, size * 3 / 4), 255);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32, 48}));
}

TEST(ProgramIcon, LoadsAtEachSize) {
  for (const int size : {16, 32, 48}) {
    SCOPED_TRACE(testing::Message() << size << " px");
    const auto icon = static_cast<HICON>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof(colour), &colour);
    EXPECT_EQ(colour.bmWidth, size);
    EXPECT_EQ(colour.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

std::wstring versionString(const std::vector<BYTE>& block, const wchar_t* name) {
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) return {};
  return static_cast<const wchar_t*>(value);
}

TEST(ProgramVersion, NamesTheProgramAndItsVersion) {
  WCHAR path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::vector<BYTE> block(GetFileVersionInfoSizeW(path, nullptr));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data()));

  EXPECT_EQ(versionString(block, L"FileDescription"), L"Talvane");
  EXPECT_EQ(versionString(block, L"ProductName"), L"Talvane");
  EXPECT_EQ(versionString(block, L"OriginalFilename"), L"talvane.exe");
  EXPECT_EQ(versionString(block, L"FileVersion"), L"" TALVANE_VERSION_TEXT);

  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 2 * sizeof(WORD));
  const auto* translation = static_cast<const WORD*>(value);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1200);

  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &value, &length));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  const WORD numbers[] = {TALVANE_VERSION_NUMBERS};
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(numbers[1], numbers[0])));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(numbers[3], numbers[2])));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

// The loader takes the process's manifest from RT_MANIFEST 1; a second one
// (such as a toolchain's default manifest) would make the choice ambiguous.
TEST(ProgramManifest, IsTheOnlyManifest) {
  EXPECT_EQ(resourceIds(RT_MANIFEST), std::vector<int>{IDR_MANIFEST});
  EXPECT_EQ(resourceLanguages(RT_MANIFEST, IDR_MANIFEST).size(), 1u);
}

TEST(ProgramManifest, AsksForCommonControls6AsInvokerAndDpiAwareness) {
  const auto bytes = resourceBytes(RT_MANIFEST, IDR_MANIFEST);
  const std::string text(bytes.begin(), bytes.end());
  for (const char* part :
       {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
        "publicKeyToken=\"6595b64144ccf1df\"", "level=\"asInvoker\" uiAccess=\"false\"",
        ">true</dpiAware>", ">PerMonitorV2, PerMonitor</dpiAwareness>"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace talvane::resources_test
