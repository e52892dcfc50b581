#include "resource_reader.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

namespace talvane::resources_test {
namespace {

HMODULE self() {
  return GetModuleHandleW(nullptr);
}

// Walks a DLGTEMPLATEEX: fixed fields, then WORD-aligned strings and
// ordinals, each control starting on a DWORD boundary.
class TemplateCursor {
 public:
  explicit TemplateCursor(const std::vector<BYTE>& bytes) : bytes_(bytes) {}

  bool fits(size_t size) const { return offset_ + size <= bytes_.size(); }

  template <typename T>
  T read() {
    T value{};
    if (fits(sizeof(T))) std::memcpy(&value, bytes_.data() + offset_, sizeof(T));
    offset_ += sizeof(T);
    return value;
  }

  std::wstring readString() {
    std::wstring text;
    while (fits(sizeof(WCHAR))) {
      const auto unit = read<WCHAR>();
      if (unit == L'\0') break;
      text += unit;
    }
    return text;
  }

  // A sz_Or_Ord field: nothing, 0xFFFF and an ordinal, or a string.
  std::wstring readNameOrOrdinal() {
    const auto first = read<WORD>();
    if (first == 0) return {};
    if (first == 0xFFFF) return ordinalName(read<WORD>());
    offset_ -= sizeof(WORD);
    return readString();
  }

  Rect readRect() {
    const int x = read<short>();
    const int y = read<short>();
    const int cx = read<short>();
    const int cy = read<short>();
    return {x, y, cx, cy};
  }

  void skip(size_t size) { offset_ += size; }
  void alignTo(size_t boundary) { offset_ = (offset_ + boundary - 1) / boundary * boundary; }

 private:
  static std::wstring ordinalName(WORD ordinal) {
    switch (ordinal) {
      case 0x0080:
        return L"button";
      case 0x0081:
        return L"edit";
      case 0x0082:
        return L"static";
      case 0x0083:
        return L"listbox";
      case 0x0084:
        return L"scrollbar";
      case 0x0085:
        return L"combobox";
      default:
        return L"#" + std::to_wstring(ordinal);
    }
  }

  const std::vector<BYTE>& bytes_;
  size_t offset_ = 0;
};

// Enumeration callbacks (CALLBACK: a plain lambda has the wrong calling
// convention in 32-bit builds). A named, not numbered, resource counts as -1.
BOOL CALLBACK collectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  const int id = IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : -1;
  reinterpret_cast<std::vector<int>*>(found)->push_back(id);
  return TRUE;
}

BOOL CALLBACK collectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
  reinterpret_cast<std::vector<LANGID>*>(found)->push_back(language);
  return TRUE;
}

std::wstring lowerCase(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return text;
}

}  // namespace

const DialogControl* DialogTemplate::control(int id) const {
  const auto found = std::find_if(controls.begin(), controls.end(),
                                  [id](const DialogControl& c) { return c.id == id; });
  return found == controls.end() ? nullptr : &*found;
}

std::vector<BYTE> resourceBytes(LPCWSTR type, int id) {
  const HRSRC info = FindResourceW(self(), MAKEINTRESOURCEW(id), type);
  if (info == nullptr) return {};
  const HGLOBAL loaded = LoadResource(self(), info);
  const auto* data = static_cast<const BYTE*>(LockResource(loaded));
  if (data == nullptr) return {};
  return {data, data + SizeofResource(self(), info)};
}

std::optional<DialogTemplate> readDialog(int id) {
  const auto bytes = resourceBytes(RT_DIALOG, id);
  TemplateCursor cursor(bytes);
  const auto version = cursor.read<WORD>();
  const auto signature = cursor.read<WORD>();
  if (!cursor.fits(0) || version != 1 || signature != 0xFFFF) return std::nullopt;

  DialogTemplate dialog{};
  cursor.skip(sizeof(DWORD));  // help id
  dialog.exStyle = cursor.read<DWORD>();
  dialog.style = cursor.read<DWORD>();
  const auto count = cursor.read<WORD>();
  dialog.rect = cursor.readRect();
  cursor.readNameOrOrdinal();  // menu
  cursor.readNameOrOrdinal();  // window class
  dialog.caption = cursor.readString();
  if ((dialog.style & DS_SETFONT) != 0) {
    dialog.pointSize = cursor.read<WORD>();
    cursor.skip(sizeof(WORD) + 2 * sizeof(BYTE));  // weight, italic, character set
    dialog.typeface = cursor.readString();
  }
  for (WORD index = 0; index < count; ++index) {
    cursor.alignTo(sizeof(DWORD));
    DialogControl control{};
    cursor.skip(2 * sizeof(DWORD));  // help id, extended style
    control.style = cursor.read<DWORD>();
    control.rect = cursor.readRect();
    control.id = static_cast<int>(cursor.read<DWORD>());
    control.className = lowerCase(cursor.readNameOrOrdinal());
    control.text = cursor.readNameOrOrdinal();
    cursor.skip(cursor.read<WORD>());  // creation data
    if (!cursor.fits(0)) return std::nullopt;
    dialog.controls.push_back(control);
  }
  return dialog;
}

std::optional<PopupMenu> readMenu(int id) {
  const HMENU menu = LoadMenuW(self(), MAKEINTRESOURCEW(id));
  if (menu == nullptr) return std::nullopt;
  std::optional<PopupMenu> popup;
  const HMENU items = GetSubMenu(menu, 0);
  if (GetMenuItemCount(menu) == 1 && items != nullptr) {
    popup.emplace();
    WCHAR text[256] = {};
    GetMenuStringW(menu, 0, text, 256, MF_BYPOSITION);
    popup->caption = text;
    for (int position = 0; position < GetMenuItemCount(items); ++position) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
      info.dwTypeData = text;
      info.cch = 256;
      text[0] = L'\0';
      GetMenuItemInfoW(items, static_cast<UINT>(position), TRUE, &info);
      const bool separator = (info.fType & MFT_SEPARATOR) != 0;
      popup->items.push_back(
          {separator, separator ? 0 : info.wID, separator ? L"" : text, info.fState});
    }
  }
  DestroyMenu(menu);
  return popup;
}

std::vector<int> resourceIds(LPCWSTR type) {
  std::vector<int> ids;
  EnumResourceNamesW(self(), type, collectName, reinterpret_cast<LONG_PTR>(&ids));
  return ids;
}

std::vector<LANGID> resourceLanguages(LPCWSTR type, int id) {
  std::vector<LANGID> languages;
  EnumResourceLanguagesW(self(), type, MAKEINTRESOURCEW(id), collectLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  return languages;
}

}  // namespace talvane::resources_test
