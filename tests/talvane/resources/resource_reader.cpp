#include "resource_reader.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

namespace talvane::resources_test {
namespace {

// Walks a DLGTEMPLATEEX: fixed fields, then WORD-aligned strings or
// ordinals, each control starting on a DWORD boundary. Reading past the end
// gives zeros; readDialog checks the end once per control.
struct TemplateCursor {
  const std::vector<BYTE>& bytes;
  size_t offset = 0;

  template <typename T>
  T read() {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) std::memcpy(&value, &bytes[offset], sizeof(T));
    offset += sizeof(T);
    return value;
  }

  std::wstring readString() {
    std::wstring text;
    for (auto unit = read<WCHAR>(); unit != L'\0'; unit = read<WCHAR>()) text += unit;
    return text;
  }

  // A string (empty when absent), or 0xFFFF and a predefined class's atom.
  std::wstring readNameOrOrdinal() {
    if (read<WORD>() != 0xFFFF) {
      offset -= sizeof(WORD);
      return readString();
    }
    static const wchar_t* const kPredefined[] = {L"button", L"edit", L"static"};
    const size_t index = read<WORD>() - size_t{0x80};
    return index < std::size(kPredefined) ? kPredefined[index] : L"?";
  }
};

}  // namespace

const DialogControl* DialogTemplate::control(int id) const {
  const auto found = std::find_if(controls.begin(), controls.end(),
                                  [id](const DialogControl& c) { return c.id == id; });
  return found == controls.end() ? nullptr : &*found;
}

std::vector<BYTE> resourceBytes(LPCWSTR type, int id) {
  const HMODULE self = GetModuleHandleW(nullptr);
  const HRSRC info = FindResourceW(self, MAKEINTRESOURCEW(id), type);
  const void* data = info ? LockResource(LoadResource(self, info)) : nullptr;
  if (data == nullptr) return {};
  const auto* first = static_cast<const BYTE*>(data);
  return {first, first + SizeofResource(self, info)};
}

DialogTemplate readDialog(int id) {
  const auto bytes = resourceBytes(RT_DIALOG, id);
  TemplateCursor cursor{bytes};
  if (cursor.read<WORD>() != 1 || cursor.read<WORD>() != 0xFFFF) return {};  // version, signature
  DialogTemplate dialog{};
  cursor.offset += sizeof(DWORD);  // help id
  dialog.exStyle = cursor.read<DWORD>();
  dialog.style = cursor.read<DWORD>();
  const auto count = cursor.read<WORD>();
  cursor.offset += 4 * sizeof(short);  // position and size
  cursor.readNameOrOrdinal();          // menu
  cursor.readNameOrOrdinal();          // window class
  dialog.caption = cursor.readString();
  if ((dialog.style & DS_SETFONT) != 0) {
    cursor.offset += 3 * sizeof(WORD);  // point size, weight, italic and character set
    cursor.readString();                // typeface
  }
  for (WORD index = 0; index < count; ++index) {
    cursor.offset = (cursor.offset + 3) / 4 * 4;
    cursor.offset += 2 * sizeof(DWORD);  // help id, extended style
    DialogControl control{};
    control.style = cursor.read<DWORD>();
    cursor.offset += 4 * sizeof(short);  // position and size
    control.id = static_cast<int>(cursor.read<DWORD>());
    control.className = cursor.readNameOrOrdinal();
    CharLowerBuffW(control.className.data(), static_cast<DWORD>(control.className.size()));
    control.text = cursor.readNameOrOrdinal();
    cursor.offset += cursor.read<WORD>();  // creation data
    if (cursor.offset > bytes.size()) return {};
    dialog.controls.push_back(std::move(control));
  }
  return dialog;
}

}  // namespace talvane::resources_test
