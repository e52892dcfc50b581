// The menus as LoadMenuW builds them: one popup each, whose items the user
// sees; none checked, grayed or default.
#include <windows.h>

#include <gtest/gtest.h>

#include "resource.h"
#include "resource_reader.h"

namespace talvane::resources_test {
namespace {

struct ExpectedItem {
  UINT id;  // 0 for a separator
  const wchar_t* text;
};

constexpr ExpectedItem kSeparator{0, L""};

void expectMenu(int id, const wchar_t* caption, const std::vector<ExpectedItem>& expected) {
  SCOPED_TRACE(testing::Message() << "menu " << id);
  const auto popup = readMenu(id);
  ASSERT_TRUE(popup.has_value()) << "not one popup";
  EXPECT_EQ(popup->caption, caption);
  ASSERT_EQ(popup->items.size(), expected.size());
  for (size_t position = 0; position < expected.size(); ++position) {
    const auto& item = popup->items[position];
    SCOPED_TRACE(testing::Message() << "position " << position);
    EXPECT_EQ(item.separator, expected[position].id == 0);
    EXPECT_EQ(item.id, expected[position].id);
    EXPECT_EQ(item.text, expected[position].text);
    // (A separator's state means nothing; the menu code may gray it.)
    if (!item.separator) {
      EXPECT_EQ(item.state & (MFS_CHECKED | MFS_GRAYED | MFS_DEFAULT), 0u);
    }
  }
}

// The popup captions are Japanese; they must arrive as this exact UTF-16.
TEST(TrayMenus, LeftClickOffersExit) {
  expectMenu(IDR_TRAY_LEFT_MENU, L"\u30c8\u30ec\u30a4\u5de6\u30af\u30ea\u30c3\u30af",
             {{ID_APP_EXIT, L"EXIT(&X)"}});
}

TEST(TrayMenus, RightClickOffersExitAndSetup) {
  expectMenu(IDR_TRAY_RIGHT_MENU, L"\u30c8\u30ec\u30a4\u53f3\u30af\u30ea\u30c3\u30af",
             {{ID_APP_EXIT, L"EXIT(&X)"}, kSeparator, {ID_SETUP, L"SETUP(&S)"}});
}

TEST(ContextMenus, DeviceRowOffersPowerAndAutoRecovery) {
  expectMenu(IDR_ON_OFF_MENU, L"On Off Menu",
             {{ID_HUB_POWER_ON, L"HUB Power ON"},
              {ID_HUB_POWER_OFF, L"HUB Power Off"},
              kSeparator,
              {ID_ADD_AUTO_RECOVERY_LIST, L"ADD Auto Recovery List"}});
}

TEST(ContextMenus, AutoRecoveryRowOffersRemoval) {
  expectMenu(IDR_AUTO_CHECK_MENU, L"AutoCheck",
             {{ID_REMOVE_AUTO_RECOVERY_LIST, L"Remove Auto Recovery List"}});
}

}  // namespace
}  // namespace talvane::resources_test
