#include <gtest/gtest.h>

#include "files/measurements.h"

namespace {

TEST(FilesTest, ZonesReadBackFromTheirTextAndNothingPastFourteenHours)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"UTC", 0}, {"utc+01:00", 60}, {"+1", 60}, {"-5", -300}, {"5.5", 330}, {"GMT -03:30", -210},
        {"Z", 0}, {"UTC+14", 840}, {"+14:30", std::nullopt}, {"1h", std::nullopt}, {"", std::nullopt},
        {"+-1", std::nullopt}, {"1:5", std::nullopt}, {"5.25", 315}, {"0.01", std::nullopt},
    };
    for (const auto& [text, minutes] : cases)
        EXPECT_EQ(ZoneFromText(text), minutes) << text;
    for (int minutes : {0, 60, -300, 330, -210, 840})
        EXPECT_EQ(ZoneFromText(ZoneText(minutes)), minutes) << ZoneText(minutes);
}

}  // namespace
