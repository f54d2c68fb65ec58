#include "core/control_value.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "core/rounding.h"

namespace oskel {

namespace {

template <class... Handlers> struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
// Clang 14 does not deduce an aggregate's template arguments without this.
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

std::int32_t clampToInt32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int32_t roundToInt32(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    constexpr double kLow = std::numeric_limits<std::int32_t>::min();
    constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
    return clampToInt32(roundHalfEven(std::clamp(value, kLow, kHigh)));
}

} // namespace

bool controlValueAsBool(const ControlValue& value)
{
    return std::visit(Overloaded {
                          [](bool on) { return on; },
                          [](std::int64_t number) { return number != 0; },
                          [](double number) { return number != 0.0; },
                          [](const std::string& text) { return text == "1" || text == "true"; },
                      },
        value);
}

std::int32_t controlValueAsInteger(const ControlValue& value)
{
    return std::visit(Overloaded {
                          [](bool on) { return on ? 1 : 0; },
                          [](std::int64_t number) { return clampToInt32(number); },
                          [](double number) { return roundToInt32(number); },
                          [](const std::string& text) {
                              std::int64_t number = 0;
                              const char* end = text.data() + text.size();
                              const auto [stop, error] = std::from_chars(text.data(), end, number);
                              return error == std::errc() && stop == end ? clampToInt32(number) : 0;
                          },
                      },
        value);
}

std::string controlValueAsText(const ControlValue& value)
{
    return std::visit(Overloaded {
                          [](bool on) { return std::string(on ? "1" : "0"); },
                          [](std::int64_t number) { return std::to_string(number); },
                          [](double number) {
                              std::array<char, 32> text {};
                              const auto result
                                  = std::to_chars(text.data(), text.data() + text.size(), number);
                              return std::string(text.data(), result.ptr);
                          },
                          [](const std::string& text) { return text; },
                      },
        value);
}

} // namespace oskel
