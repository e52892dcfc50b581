// The keys the status dialog's FRAM edit takes.
#include <gtest/gtest.h>

#include "talvane/dialogs/fram_key_filter.h"

namespace talvane {
namespace {

TEST(FramKeys, DigitsLettersAndEditingKeysOnly) {
  for (const unsigned key : {0x30u, 0x39u, 0x41u, 0x5Au, 0x60u, 0x69u, 0x08u, 0x2Eu}) {
    EXPECT_EQ(framKeyAction(key), FramKeyAction::Pass) << key;
  }
  EXPECT_EQ(framKeyAction(0x0D), FramKeyAction::AppendLineBreak);
  // Just past each range, and keys an edit would otherwise act on.
  for (const unsigned key : {0x2Fu, 0x3Au, 0x40u, 0x5Bu, 0x6Au, 0x20u, 0x09u, 0x1Bu, 0x25u, 0x24u,
                             0x73u, 0xBCu, 0xE5u}) {
    EXPECT_EQ(framKeyAction(key), FramKeyAction::Swallow) << key;
  }
}

}  // namespace
}  // namespace talvane
