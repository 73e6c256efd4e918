// The range lists the indicator's range codes refer to, checked against values
// written out by hand.

#include "calibration/RangeLists.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(RangeLists, CapacityAndDivisionItems)
{
    EXPECT_EQ(CapacityItem(0), "0 - 1 Kg");
    EXPECT_EQ(CapacityItem(22), "22 - 100 Kg");
    EXPECT_EQ(CapacityItem(24), "24 - 125 Kg");
    EXPECT_EQ(CapacityItem(30), "30 - 300 Kg");
    EXPECT_EQ(CapacityItem(85), "85 - 800000 Kg");
    EXPECT_EQ(CapacityItem(86), "");
    EXPECT_EQ(CapacityItem(-1), "");
    EXPECT_EQ(CapacityItems().size(), 86);
    EXPECT_EQ(DivisionItem(3), "3 - 0.001");
    EXPECT_EQ(DivisionItem(6), "6 - 0.01");
    EXPECT_EQ(DivisionItem(12), "12 - 1");
    EXPECT_EQ(DivisionItem(19), "19 - 200");
    EXPECT_EQ(DivisionItem(2), "");
    EXPECT_EQ(DivisionItem(20), "");
    EXPECT_EQ(DivisionItems().size(), 17);
    // 12.5 is not a capacity; 125, 1250, 12500 and 125000 are.
    EXPECT_FALSE(CapacityItems().contains("12.5 Kg"));
    EXPECT_EQ(CapacityValueText(40), "1250");
    EXPECT_EQ(CapacityValueText(56), "12500");
    EXPECT_EQ(CapacityValueText(72), "125000");
}

TEST(RangeLists, ItemCodeAndValue)
{
    EXPECT_EQ(ItemCode("22 - 100 Kg"), 22);
    EXPECT_EQ(ItemCode("5 - 0.005 Kg"), 5);
    EXPECT_EQ(ItemCode("x - 1"), std::nullopt);
    EXPECT_EQ(ItemCode(""), std::nullopt);
    EXPECT_EQ(ItemValueText("30 - 300 Kg"), "300");
    EXPECT_EQ(ItemValueText("5 - 0.005"), "0.005");
    EXPECT_EQ(ItemValueText("5 - 0.005 Kg"), "0.005");  // a profile item carries the unit
    EXPECT_EQ(ItemValueText("2Kg"), "2");
}
