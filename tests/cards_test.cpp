#include <gtest/gtest.h>
#include "rules/cards.h"
TEST(Cards, Name) { EXPECT_EQ(kolbet::CardName(30), "Hirz Kini"); }
