#include "gateway/AutoMap.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt::gw;

// A run is written whole or not at all: its limits are the last point and the last relay, group or
// preset, and a count index k means k + 2 points.
TEST(AutoMap, WritesRunsUpToTheirLimitsAndRefusesBeyond)
{
    using enum AutoMapKind;
    struct Case {
        const char* what;
        AutoMapRun run;
        const char* refusal; // nullptr: written
    } cases[] = {
        {"relay 63, two", {Relays, 0, 0, 62, 1, 4}, nullptr},
        {"relay 64", {Relays, 0, 0, 63, 1, 4}, "First Relay Plus Auto Map Count Exceeds 64"},
        {"group 255, two", {Groups, 10, 0, 254, 5}, nullptr},
        {"group 256", {Groups, 10, 0, 255, 5}, "First Group Plus Auto Map Count Exceeds 256"},
        {"preset 255, two", {Presets, 20, 0, 254, 7}, nullptr},
        {"preset 256", {Presets, 20, 0, 255, 7}, "First Preset Plus Auto Map Count Exceeds 256"},
        {"point 749, two", {Groups, 748, 0, 0, 5}, nullptr},
        {"point 750", {Relays, 749, 0, 0, 1, 4}, "Auto Map Goes Beyond 750 Points"},
        {"point 700, 60 relays", {Relays, 699, 58, 0, 2, 4}, "Auto Map Goes Beyond 750 Points"},
        {"both limits: the points are named", {Relays, 749, 0, 63, 1, 4}, "Auto Map Goes Beyond 750 Points"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto image = std::make_unique<GatewayImage>();
        auto untouched = std::make_unique<GatewayImage>();
        const QString refusal = AutoMap(*image, c.run);
        if (c.refusal) {
            EXPECT_EQ(refusal, c.refusal);
            EXPECT_EQ(MgwBytes(*image), MgwBytes(*untouched));
            continue;
        }
        EXPECT_TRUE(refusal.isEmpty());
        const int n = c.run.countAt + 2;
        for (int i = 0; i < n; ++i) {
            const int p = c.run.point + i;
            EXPECT_EQ(image->GetPointType(p), c.run.type);
            if (c.run.kind == Relays) {
                EXPECT_EQ(image->GetPointNode(p), c.run.node);
                EXPECT_EQ(image->GetPointUnit(p), c.run.firstAt + i);
            } else {
                EXPECT_EQ(image->GetPointNumber(p), c.run.firstAt + i);
                EXPECT_EQ(image->GetPointNode(p), 0) << "groups and presets name no node";
            }
        }
        if (c.run.point + n < kPoints) {
            EXPECT_EQ(image->GetPointType(c.run.point + n), 0);
        }
        if (c.run.point > 0) {
            EXPECT_EQ(image->GetPointType(c.run.point - 1), 0);
        }
    }
}
