// Values the logic shows in controls, as each kind of control takes them.
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "core/control_value.h"

namespace oskel {
namespace {

struct Case {
    ControlValue value;
    bool asBool;
    std::int32_t asInteger;
    std::string asText;
};

TEST(ControlValueTest, EveryKindOfValueFitsEveryKindOfControl)
{
    const Case cases[] = {
        { true, true, 1, "1" },
        { false, false, 0, "0" },
        { std::int64_t { 255 }, true, 255, "255" },
        { std::int64_t { 0 }, false, 0, "0" },
        { std::int64_t { -8000 }, true, -8000, "-8000" },
        { std::int64_t { 1 } << 40, true, std::numeric_limits<std::int32_t>::max(),
            "1099511627776" },
        { 120.0, true, 120, "120" },
        { 2.5, true, 2, "2.5" },
        { 3.5, true, 4, "3.5" },
        { -1e300, true, std::numeric_limits<std::int32_t>::min(), "-1e+300" },
        { std::numeric_limits<double>::quiet_NaN(), true, 0, "nan" },
        { std::string("Tap 3"), false, 0, "Tap 3" },
        { std::string("42"), false, 42, "42" },
        { std::string("1"), true, 1, "1" },
        { std::string("true"), true, 0, "true" },
        { std::string("99999999999"), false, std::numeric_limits<std::int32_t>::max(),
            "99999999999" },
        { std::string(""), false, 0, "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asText);
        EXPECT_EQ(controlValueAsBool(c.value), c.asBool);
        EXPECT_EQ(controlValueAsInteger(c.value), c.asInteger);
        EXPECT_EQ(controlValueAsText(c.value), c.asText);
    }
}

} // namespace
} // namespace oskel
