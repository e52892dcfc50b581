// The menus as LoadMenuW builds them: one popup each, whose items the user
// sees.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "resource.h"

namespace talvane::resources_test {
namespace {

// (id, text) of each item; a separator is an item with id 0 and no text.
using MenuItems = std::vector<std::pair<UINT, std::wstring>>;

// The caption and the items of the first popup of menu `id`.
std::pair<std::wstring, MenuItems> loadPopup(int id) {
  const HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
  const HMENU popup = GetSubMenu(menu, 0);
  WCHAR text[256] = {};
  GetMenuStringW(menu, 0, text, 256, MF_BYPOSITION);
  std::pair<std::wstring, MenuItems> loaded{text, {}};
  for (int position = 0; position < GetMenuItemCount(popup); ++position) {
    text[0] = L'\0';
    GetMenuStringW(popup, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
    loaded.second.emplace_back(GetMenuItemID(popup, position), text);
  }
  DestroyMenu(menu);
  return loaded;
}

// The tray popups' captions, トレイ左クリック and トレイ右クリック, must
// survive the resource compiler's code page as this UTF-16.
TEST(Menus, HaveTheirCaptionsItemsAndSeparators) {
  const std::pair<UINT, std::wstring> exit{ID_APP_EXIT, L"EXIT(&X)"}, separator{0, L""};
  const std::tuple<int, std::wstring, MenuItems> menus[] = {
      {IDR_TRAY_LEFT_MENU, L"\u30c8\u30ec\u30a4\u5de6\u30af\u30ea\u30c3\u30af", {exit}},
      {IDR_TRAY_RIGHT_MENU,
       L"\u30c8\u30ec\u30a4\u53f3\u30af\u30ea\u30c3\u30af",
       {exit, separator, {ID_SETUP, L"SETUP(&S)"}}},
      {IDR_ON_OFF_MENU,
       L"On Off Menu",
       {{ID_HUB_POWER_ON, L"HUB Power ON"},
        {ID_HUB_POWER_OFF, L"HUB Power Off"},
        separator,
        {ID_ADD_AUTO_RECOVERY_LIST, L"ADD Auto Recovery List"}}},
      {IDR_AUTO_CHECK_MENU,
       L"AutoCheck",
       {{ID_REMOVE_AUTO_RECOVERY_LIST, L"Remove Auto Recovery List"}}},
  };
  for (const auto& [id, caption, items] : menus) {
    EXPECT_EQ(loadPopup(id), std::make_pair(caption, items)) << "menu " << id;
  }
}

}  // namespace
}  // namespace talvane::resources_test
