// Opening a link without a shell association: the browser's own command line is used.
#include <gtest/gtest.h>

#include "controls/LinkTarget.h"

TEST(LinkTarget, FallbackCommandPutsTheTargetWhereThePlaceholderWas) {
    EXPECT_EQ(FallbackOpenCommand("\"C:\\Web\\browse.exe\" -nohome \"%1\" -tab", "http://x"),
              "\"C:\\Web\\browse.exe\" -nohome  http://x");
    EXPECT_EQ(FallbackOpenCommand("browse.exe %1 -tab", "http://x"), "browse.exe  http://x");
    EXPECT_EQ(FallbackOpenCommand("browse.exe", "http://x"), "browse.exe http://x");
}
