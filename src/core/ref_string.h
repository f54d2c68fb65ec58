#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace oskel {

// An immutable, reference-counted string. Copying one shares the text and never allocates,
// which lets the frame thread copy whole slot records every tick; changing the text makes a
// new one. The empty string holds nothing at all.
class RefString {
public:
    RefString() = default;
    RefString(std::string_view text) // NOLINT(google-explicit-constructor): reads like a string
        : m_text(text.empty() ? nullptr : std::make_shared<const std::string>(text))
    {
    }
    RefString(const char* text)
        : RefString(std::string_view(text))
    {
    }
    RefString(const std::string& text)
        : RefString(std::string_view(text))
    {
    }

    const std::string& str() const { return m_text ? *m_text : emptyString(); }
    std::string_view view() const { return str(); }
    operator std::string_view() const { return view(); }
    bool empty() const { return m_text == nullptr; }
    void clear() { m_text.reset(); }

    friend bool operator==(const RefString& a, std::string_view b) { return a.view() == b; }

private:
    static const std::string& emptyString()
    {
        static const std::string empty;
        return empty;
    }

    std::shared_ptr<const std::string> m_text;
};

} // namespace oskel
