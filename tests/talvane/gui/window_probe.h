// What the window tests look at and prepare: the program's top-level
// windows and what they show, and the files beside the program, above all
// the world korvex.dll simulates.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace talvane::gui_test {

using namespace std::chrono_literals;
inline constexpr std::chrono::milliseconds kWaitLimit = 10s;

// Polls every 10 ms until probe gives a value (or true), at most for limit.
template <class Probe>
auto waitUntil(Probe probe, std::chrono::milliseconds limit = kWaitLimit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (auto result = probe();; result = probe()) {
    if (result || std::chrono::steady_clock::now() >= end) return result;
    Sleep(10);
  }
}

// Whose top-level windows to look at: a thread's, or else a process's.
struct Owner {
  DWORD thread = 0, process = 0;
};
inline constexpr wchar_t kDialogClass[] = L"#32770", kMenuClass[] = L"#32768";

// The owner's windows; with a class, its visible ones of it (L"": any).
std::vector<HWND> windowsOf(Owner owner, const wchar_t* visibleClass = nullptr);
// The first of them with the caption (any, if null); null after the limit.
HWND waitForWindow(Owner owner, const wchar_t* visibleClass, const wchar_t* caption = nullptr,
                   std::chrono::milliseconds limit = kWaitLimit);
bool waitUntilGone(HWND window);
std::wstring textOf(HWND window);  // also another process's
std::wstring messageOf(HWND box);  // a message box's message
inline std::wstring itemText(HWND dialog, int item) {
  return textOf(GetDlgItem(dialog, item));
}

// A report list view's rows (of this process), each its cells joined by
// '|'; its only selected row (-1: none).
std::vector<std::wstring> rowsOf(HWND list);
void selectRow(HWND list, int row);

struct MenuItem {
  std::wstring text;
  UINT id = 0;
  bool separator = false, grayed = false;
  bool operator==(const MenuItem&) const = default;
};
// The open popup menu's items, read before it is closed without a choice.
std::vector<MenuItem> readAndCloseMenu(HWND menuWindow);

// Files beside the program, written whole: a reader sees old or new.
std::wstring besideProgram(std::wstring_view name);
bool writeFile(const std::wstring& path, std::string_view bytes);
bool fileExists(const std::wstring& path);

// korvex.dll reads "world.json" beside the program again when its size or
// time stamp changes, and writes it back after a command to a controller.
// loadWorld makes a world of scenario_worlds.json (beside the program) the
// world: in each, a hub on a root port has its device's port first and its
// controller second.
using Json = nlohmann::json;
void loadWorld(std::string_view scenario);
void changeWorld(const std::function<void(Json& world)>& change);
// The root port of the hub with this controller; the controller now.
Json& hubPort(Json& world, std::string_view serial);
Json controllerNow(std::string_view serial);

}  // namespace talvane::gui_test
