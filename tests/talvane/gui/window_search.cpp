#include "window_search.h"

namespace talvane::gui_test {

namespace {

BOOL CALLBACK collect(HWND window, LPARAM found) {
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

HWND firstOf(const std::vector<HWND>& windows) {
  return windows.empty() ? nullptr : windows.front();
}

}  // namespace

std::vector<HWND> topLevelWindows(WindowOwner owner) {
  std::vector<HWND> found;
  if (owner.threadId != 0) {
    EnumThreadWindows(owner.threadId, &collect, reinterpret_cast<LPARAM>(&found));
    return found;
  }
  std::vector<HWND> all;
  EnumWindows(&collect, reinterpret_cast<LPARAM>(&all));
  for (HWND window : all) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == owner.processId) found.push_back(window);
  }
  return found;
}

std::wstring windowText(HWND window) {
  // WM_GETTEXT rather than GetWindowTextW: it also reads the text of a
  // control of another process. A hung window gives an empty text instead
  // of hanging the test.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
    return {};
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    return {};
  }
  text.resize(copied < text.size() ? copied : text.size() - 1);
  return text;
}

std::wstring captionOf(HWND window) {
  wchar_t caption[512] = {};
  const int length = InternalGetWindowText(window, caption, 512);
  return std::wstring(caption, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::wstring className(HWND window) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(window, name, 256);
  return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::vector<HWND> visibleWindows(WindowOwner owner) {
  std::vector<HWND> found;
  for (HWND window : topLevelWindows(owner)) {
    if (IsWindowVisible(window)) found.push_back(window);
  }
  return found;
}

std::vector<HWND> visibleWindowsOfClass(WindowOwner owner, const std::wstring& windowClass) {
  std::vector<HWND> found;
  for (HWND window : visibleWindows(owner)) {
    if (className(window) == windowClass) found.push_back(window);
  }
  return found;
}

std::vector<HWND> dialogsCaptioned(WindowOwner owner, const std::wstring& caption) {
  std::vector<HWND> found;
  for (HWND window : visibleWindowsOfClass(owner, kDialogClass)) {
    if (captionOf(window) == caption) found.push_back(window);
  }
  return found;
}

HWND windowCaptioned(WindowOwner owner, const std::wstring& caption) {
  for (HWND window : topLevelWindows(owner)) {
    if (captionOf(window) == caption) return window;
  }
  return nullptr;
}

HWND waitForDialog(WindowOwner owner, const std::wstring& caption,
                   std::chrono::milliseconds limit) {
  return waitUntil([&] { return firstOf(dialogsCaptioned(owner, caption)); }, limit);
}

HWND waitForPopupMenu(WindowOwner owner, std::chrono::milliseconds limit) {
  return waitUntil([&] { return firstOf(visibleWindowsOfClass(owner, kMenuClass)); }, limit);
}

bool waitUntilGone(HWND window, std::chrono::milliseconds limit) {
  return waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, limit);
}

std::wstring messageBoxText(HWND box) {
  std::wstring text;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (className(child) == L"Static") text += windowText(child);
  }
  return text;
}

}  // namespace talvane::gui_test
