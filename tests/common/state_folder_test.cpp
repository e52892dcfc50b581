// Where the library keeps its files outside Windows, for each environment.
#include <gtest/gtest.h>

#include "korvex/common/state_folder.h"

namespace korvex {
namespace {

struct Case {
  StateFolderSettings settings;
  const char* folder;
};

class StateFolder : public ::testing::TestWithParam<Case> {};

TEST_P(StateFolder, FollowsTheFirstUsableSetting) {
  EXPECT_EQ(stateFolderFor(GetParam().settings), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(Environments, StateFolder,
                         ::testing::Values(Case{{"/srv/k", "/x", "/home/u"}, "/srv/k"},
                                           Case{{"", "/x", "/home/u"}, "/x/korvex"},
                                           Case{{{}, "relative", "/home/u"},
                                                "/home/u/.local/state/korvex"},
                                           Case{{{}, "", "/home/u"}, "/home/u/.local/state/korvex"},
                                           Case{{{}, {}, {}}, "/var/lib/korvex"},
                                           Case{{{}, {}, "relative"}, "/var/lib/korvex"}));

}  // namespace
}  // namespace korvex
