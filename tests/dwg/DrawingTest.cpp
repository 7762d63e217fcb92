#include "dwgviewx/model/Drawing.h"

#include <gtest/gtest.h>

TEST(Drawing, FindsTablesAndBlocksByHandleAfterTheIndexIsBuilt) {
    dwg::Drawing d;
    for (int i = 1; i <= 100; ++i) {
        dwg::Layer l;
        l.handle = static_cast<dwg::Handle>(i * 3);
        l.name = "L" + std::to_string(i);
        d.layers.push_back(l);
    }
    dwg::Block ms;
    ms.handle = 0x1F;
    ms.name = "*Model_Space";
    d.blocks.push_back(ms);
    d.rebuildIndex();
    ASSERT_NE(d.findLayer(30), nullptr);
    EXPECT_EQ(d.findLayer(30)->name, "L10");
    EXPECT_EQ(d.findLayer(31), nullptr);
    EXPECT_EQ(d.findLayer(0), nullptr);
    ASSERT_NE(d.modelSpace(), nullptr);
    EXPECT_EQ(d.modelSpace()->handle, 0x1Fu);
    EXPECT_EQ(d.findLayerByName("l10"), d.findLayer(30));
}

TEST(Drawing, LookupsStayCorrectWhenTheVectorsChangeWithoutReindexing) {
    dwg::Drawing d;
    dwg::Layer a;
    a.handle = 5;
    d.layers.push_back(a);
    d.rebuildIndex();
    d.layers.insert(d.layers.begin(), dwg::Layer{});
    d.layers.front().handle = 9;
    ASSERT_NE(d.findLayer(5), nullptr);
    EXPECT_EQ(d.findLayer(5)->handle, 5u);
    ASSERT_NE(d.findLayer(9), nullptr);
    EXPECT_EQ(d.findLayer(9)->handle, 9u);
}
