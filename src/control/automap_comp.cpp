#include "control/automap_comp.h"

#include <algorithm>
#include <cstdio>

#include "control/surface_messages.h"

namespace oskel {

using namespace surface;

namespace {

constexpr std::string_view kStarted = "Oskel 3 - Novation Automap - v1.1 Started";
constexpr std::string_view kStopped = "Oskel 3 - Novation Automap - v1.1 Stopped";
constexpr int kNoteOn = 0x90;
constexpr int kControlChange = 0xB0;
constexpr int kReleaseCode = -2;
constexpr int kLetThrough = -1;

int halfIndex(Half half)
{
    return half == Half::Left ? 0 : 1;
}

std::string padded(std::string text, std::size_t width)
{
    text.resize(width, ' ');
    return text;
}

std::string number(int value, const char* format)
{
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The display's lines of a half: its name line and its value line.
int nameLine(Half half)
{
    return half == Half::Left ? 1 : 2;
}
int valueLine(Half half)
{
    return half == Half::Left ? 3 : 4;
}

} // namespace

std::string surfaceLabel(std::string_view text)
{
    std::string kept;
    for (const char c : text) {
        if (c != ' ' && c != '\t') {
            kept += c;
        }
    }
    if (kept.size() > 8) {
        std::erase_if(kept,
            [](char c) { return std::string_view("aeiou").find(c) != std::string_view::npos; });
        kept.resize(std::min<std::size_t>(kept.size(), 8));
    }
    return padded(std::move(kept), kCellWidth);
}

TAutoMapComp::TAutoMapComp(MidiOutQueue& output, Wait wait)
    : m_output(output)
    , m_wait(std::move(wait))
{
}

bool TAutoMapComp::Start()
{
    if (m_active) {
        return false;
    }
    m_output.open(m_deviceOut);
    for (int polls = 0; m_output.state() == MidiOutQueue::State::Closed && polls < 50; ++polls) {
        if (m_wait) {
            m_wait(std::chrono::milliseconds(100));
        }
    }
    if (m_output.state() != MidiOutQueue::State::Open) {
        return false;
    }
    send(goOnLine());
    ClearDisplay(0);
    ClearDisplay(1);
    ShowMessage(1, kStarted);
    for (int section = 0; section < kSectionCount; ++section) {
        led(section, false);
    }
    // No pause for the surface to settle: the start message stays until the pages are drawn,
    // and the instrument does not stop answering meanwhile.
    m_active = true;
    return true;
}

bool TAutoMapComp::Stop()
{
    const bool wasActive = m_active;
    if (m_active) {
        send(goOffLine());
        ClearDisplay(0);
        ClearDisplay(1);
        ShowMessage(1, kStopped);
        m_active = false;
    }
    m_output.close();
    return wasActive;
}

void TAutoMapComp::setDeviceOut(std::string name)
{
    if (!m_active) {
        m_deviceOut = std::move(name);
    }
}

int TAutoMapComp::AddPage(int kind, std::string name)
{
    if (halfOfKind(kind) == Half::None) {
        return -1;
    }
    TAutoMapPage added;
    added.kind = kind;
    added.name = std::move(name);
    added.sections[3].selected = true;
    added.sections[5].selected = true;
    m_pages.push_back(std::move(added));
    return static_cast<int>(m_pages.size()) - 1;
}

bool TAutoMapComp::AddState(int page, int control, int code, int value, std::string_view label)
{
    TAutoMapPage* target = pageAt(page);
    if (target == nullptr || !isControl(control)
        || controlPlace(control).half != halfOfKind(target->kind)) {
        return false;
    }
    std::string shown(label.substr(0, label.size() > kCellWidth ? 8 : label.size()));
    TAutoMapPage::Control& states = target->controls[static_cast<std::size_t>(control)];
    states.states.push_back(
        { padded(std::move(shown), kCellWidth), value, true, false, false, true, true, code });
    states.current = static_cast<int>(states.states.size()) - 1;
    const int section = controlPlace(control).section;
    if (section >= 0) {
        TAutoMapPage::Section& owner = target->sections[static_cast<std::size_t>(section)];
        owner.highest = std::max(owner.highest, states.current);
    }
    return true;
}

void TAutoMapComp::SetVisible(int page, int control, bool on, int state)
{
    if (TAutoMapState* target = stateAt(page, control, state)) {
        target->visible = on;
    }
}

void TAutoMapComp::SetCodeOnly(int page, int control, bool on, int state)
{
    if (TAutoMapState* target = stateAt(page, control, state)) {
        target->codeOnly = on;
    }
}

void TAutoMapComp::SetToggle(int page, int control, bool on, int state)
{
    TAutoMapState* target = stateAt(page, control, state);
    if (target != nullptr && controlPlace(control).type == ControlType::Button) {
        target->toggle = on;
    }
}

void TAutoMapComp::SetAbsolute(int page, int control, bool on, int state)
{
    TAutoMapState* target = stateAt(page, control, state);
    if (target != nullptr && controlPlace(control).type != ControlType::Button) {
        target->absolute = on;
    }
}

// Buttons too: a slot's select buttons never take over the display.
void TAutoMapComp::SetRedraw(int page, int control, bool on, int state)
{
    if (TAutoMapState* target = stateAt(page, control, state)) {
        target->redraw = on;
    }
}

void TAutoMapComp::SetCurrentState(int page, int control, int state)
{
    if (stateAt(page, control, state) != nullptr) {
        pageAt(page)->controls[static_cast<std::size_t>(control)].current = state;
    }
}

void TAutoMapComp::SetStateLabel(int page, int control, std::string_view text, int state)
{
    if (TAutoMapState* target = stateAt(page, control, state)) {
        target->label = surfaceLabel(text);
    }
}

void TAutoMapComp::SetControlValue(int page, int control, int value, int state)
{
    if (TAutoMapState* target = stateAt(page, control, state)) {
        target->value = value;
        if (controlPlace(control).type == ControlType::Button) {
            m_hardware[static_cast<std::size_t>(control)].value = value;
        }
    }
}

void TAutoMapComp::RefreshControl(int page, int control, int state)
{
    if (stateAt(page, control, state) == nullptr) {
        return;
    }
    Hardware& hardware = m_hardware[static_cast<std::size_t>(control)];
    hardware.page = -1;
    hardware.state = -1;
    hardware.pickedUp = false;
    if (isShown(page, control)) {
        drawControl(page, control);
    }
}

void TAutoMapComp::SelectPage(int page, bool keepSections)
{
    TAutoMapPage* chosen = pageAt(page);
    if (chosen == nullptr) {
        return;
    }
    const Half half = halfOfKind(chosen->kind);
    int& current = m_current[static_cast<std::size_t>(halfIndex(half))];
    if (current == page) {
        return;
    }
    const TAutoMapPage* before = pageAt(current);
    current = page;
    for (int section = 0; section < kSectionCount; ++section) {
        if (halfOfSection(section) != half) {
            continue;
        }
        auto& sectionState = chosen->sections[static_cast<std::size_t>(section)];
        if (keepSections && before != nullptr) {
            const auto& old = before->sections[static_cast<std::size_t>(section)];
            sectionState.selected = old.selected;
            sectionState.step = std::min(old.step, sectionState.highest);
            setSectionStep(*chosen, section, sectionState.step);
        }
        if (sectionState.selected) {
            drawSection(page, section);
        }
    }
}

void TAutoMapComp::SelectSection(int page, int section, int step)
{
    TAutoMapPage* chosen = pageAt(page);
    if (chosen == nullptr || section < 0 || section >= kSectionCount
        || halfOfSection(section) != halfOfKind(chosen->kind)) {
        return;
    }
    const Half half = halfOfSection(section);
    m_current[static_cast<std::size_t>(halfIndex(half))] = page;
    for (int other = 0; other < kSectionCount; ++other) {
        if (other != section && halfOfSection(other) == half) {
            led(other, false);
            chosen->sections[static_cast<std::size_t>(other)].selected = false;
        }
    }
    auto& selected = chosen->sections[static_cast<std::size_t>(section)];
    selected.selected = true;
    led(section, true);
    selected.step = step > selected.highest ? 0 : step;
    setSectionStep(*chosen, section, selected.step);
    drawSection(page, section);
}

int TAutoMapComp::SelectedSection(int page) const
{
    const TAutoMapPage* chosen = this->page(page);
    if (chosen == nullptr) {
        return 0;
    }
    const Half half = halfOfKind(chosen->kind);
    for (int section = kSectionCount - 1; section >= 0; --section) {
        if (halfOfSection(section) == half
            && chosen->sections[static_cast<std::size_t>(section)].selected) {
            return section;
        }
    }
    return 0;
}

int TAutoMapComp::ControlState(int page, int control) const
{
    const TAutoMapPage* chosen = this->page(page);
    if (chosen == nullptr || !isControl(control)) {
        return 0;
    }
    return chosen->controls[static_cast<std::size_t>(control)].current;
}

void TAutoMapComp::ShowText(int line, int column, std::string_view characters, int key)
{
    if (line < 1 || line > 4 || column < 0 || column >= kLineWidth) {
        return;
    }
    const auto room = static_cast<std::size_t>(kLineWidth - column);
    send(text(column, line, characters.substr(0, std::min(room, characters.size()))), key);
}

void TAutoMapComp::ClearDisplay(int half)
{
    send(clearDisplay(half));
}

void TAutoMapComp::ShowMessage(int line, std::string_view characters)
{
    if (line == 1 || line == 2) {
        ShowText(line, 0, characters, 0);
    }
}

int TAutoMapComp::Translate(int status, int data1, int data2)
{
    int control = data1;
    if ((status & 0xF0) == kNoteOn) {
        if (control < kFirstPadNote || control > kLastPadNote) {
            return kLetThrough;
        }
        control += kPadOffset;
    } else if ((status & 0xF0) != kControlChange) {
        return kLetThrough;
    }
    const ControlPlace place = controlPlace(control);
    if (place.type == ControlType::None) {
        return kLetThrough;
    }
    for (const Half half : { Half::Left, Half::Right }) {
        const int pageIndex = m_current[static_cast<std::size_t>(halfIndex(half))];
        TAutoMapPage* current = pageAt(pageIndex);
        if (current == nullptr) {
            continue;
        }
        if (control >= kFirstSectionButton && control < kFirstSectionButton + kSectionCount) {
            if (data2 != 1) {
                return kReleaseCode;
            }
            SectionButton(control - kFirstSectionButton);
            m_hardware[static_cast<std::size_t>(control)].value = data2;
            return 70 - control;
        }
        if (control >= kLeftPageForward && control <= kRightPageBack) {
            if (data2 != 1) {
                return kReleaseCode;
            }
            const Half paged = control <= kLeftPageForward + 1 ? Half::Left : Half::Right;
            this->page(paged, control % 2 == 0 ? 1 : -1);
            return 68 - control;
        }
        auto& states = current->controls[static_cast<std::size_t>(control)];
        if (states.current < 0 || states.current >= static_cast<int>(states.states.size())) {
            continue;
        }
        TAutoMapState& state = states.states[static_cast<std::size_t>(states.current)];
        if (state.codeOnly) {
            return state.code;
        }
        Hardware& hardware = m_hardware[static_cast<std::size_t>(control)];
        int code = state.code;
        if (place.type == ControlType::Button) {
            if (state.toggle) {
                if (data2 == 0) {
                    return kReleaseCode;
                }
                state.value = state.value != 0 ? 0 : 1;
            } else {
                state.value = data2;
            }
            hardware.value = state.value;
        } else {
            code = takeOver(pageIndex, control, state, data2);
        }
        if (state.redraw && place.section >= 0) {
            if (current->sections[static_cast<std::size_t>(place.section)].selected) {
                drawControl(pageIndex, control);
            } else {
                SectionButton(place.section);
            }
        }
        return code;
    }
    return kLetThrough;
}

// A knob's message: taken at once when the state is absolute; otherwise only once the knob
// has reached the stored value, so that a parameter never jumps to where the knob happens to
// be.
int TAutoMapComp::takeOver(int page, int control, TAutoMapState& state, int value)
{
    Hardware& hardware = m_hardware[static_cast<std::size_t>(control)];
    const int stateIndex = pageAt(page)->controls[static_cast<std::size_t>(control)].current;
    const int last = hardware.value;
    hardware.value = value;
    if (state.absolute) {
        state.value = value;
        hardware.page = page;
        hardware.state = stateIndex;
        hardware.pickedUp = true;
        return state.code;
    }
    if (hardware.page != page || hardware.state != stateIndex) {
        hardware.page = page;
        hardware.state = stateIndex;
        hardware.pickedUp = false;
    }
    if (hardware.pickedUp) {
        state.value = value;
        return state.code;
    }
    if (state.value == last) {
        hardware.pickedUp = true;
        return state.code;
    }
    const bool crossed = (last >= state.value && value <= state.value)
        || (last < state.value && value >= state.value);
    if (crossed) {
        hardware.pickedUp = true;
        state.value = value;
        return state.code;
    }
    return kLetThrough;
}

void TAutoMapComp::setPaging(bool left, bool right)
{
    m_paging = { left, right };
}

void TAutoMapComp::clearPages()
{
    m_pages.clear();
    m_current = { -1, -1 };
    m_hardware = {};
}

const TAutoMapPage* TAutoMapComp::page(int index) const
{
    return index >= 0 && index < pageCount() ? &m_pages[static_cast<std::size_t>(index)] : nullptr;
}

int TAutoMapComp::currentPage(Half half) const
{
    return half == Half::None ? -1 : m_current[static_cast<std::size_t>(halfIndex(half))];
}

int TAutoMapComp::hardwareValue(int control) const
{
    return isControl(control) ? m_hardware[static_cast<std::size_t>(control)].value : 0;
}

TAutoMapPage* TAutoMapComp::pageAt(int page)
{
    return page >= 0 && page < pageCount() ? &m_pages[static_cast<std::size_t>(page)] : nullptr;
}

TAutoMapState* TAutoMapComp::stateAt(int page, int control, int state)
{
    TAutoMapPage* target = pageAt(page);
    if (target == nullptr || !isControl(control)) {
        return nullptr;
    }
    auto& states = target->controls[static_cast<std::size_t>(control)].states;
    return state >= 0 && state < static_cast<int>(states.size())
        ? &states[static_cast<std::size_t>(state)]
        : nullptr;
}

const TAutoMapState* TAutoMapComp::currentStateOf(int page, int control) const
{
    const TAutoMapPage* target = this->page(page);
    if (target == nullptr || !isControl(control)) {
        return nullptr;
    }
    const auto& states = target->controls[static_cast<std::size_t>(control)];
    return states.current >= 0 && states.current < static_cast<int>(states.states.size())
        ? &states.states[static_cast<std::size_t>(states.current)]
        : nullptr;
}

bool TAutoMapComp::isShown(int page, int control) const
{
    const TAutoMapPage* target = this->page(page);
    const ControlPlace place = controlPlace(control);
    return target != nullptr && place.section >= 0 && currentPage(place.half) == page
        && target->sections[static_cast<std::size_t>(place.section)].selected;
}

std::string TAutoMapComp::cellName(const TAutoMapState* state)
{
    return state != nullptr && state->visible ? padded(state->label, kCellWidth)
                                              : std::string(kCellWidth, ' ');
}

std::string TAutoMapComp::valueText(int control, const TAutoMapState* state) const
{
    if (state == nullptr || !state->visible) {
        return std::string(kCellWidth, ' ');
    }
    const ControlType type = controlPlace(control).type;
    if (type == ControlType::Button) {
        return state->value != 0 ? "ON       " : "OFF      ";
    }
    const int hardware = hardwareValue(control);
    if (type == ControlType::Encoder || state->absolute || hardware == state->value) {
        return number(state->value, "%3d") + std::string(6, ' ');
    }
    // Not taken over yet: where the knob is, and in brackets the value it has to reach.
    const std::string stored = "(" + std::to_string(state->value) + ")";
    return number(hardware, "%3d") + std::string(stored.size() < 5 ? 5 - stored.size() : 0, ' ')
        + stored + " ";
}

void TAutoMapComp::drawControl(int page, int control)
{
    const ControlPlace place = controlPlace(control);
    const TAutoMapState* state = currentStateOf(page, control);
    const int name = nameLine(place.half);
    const int value = valueLine(place.half);
    ShowText(name, place.column, cellName(state), name * 100 + place.column);
    ShowText(value, place.column, valueText(control, state), value * 100 + place.column);
}

void TAutoMapComp::drawSection(int page, int section)
{
    std::string names;
    std::string values;
    for (const int control : sectionControls(section)) {
        const TAutoMapState* state = currentStateOf(page, control);
        names += cellName(state);
        values += valueText(control, state);
    }
    const Half half = halfOfSection(section);
    ShowText(nameLine(half), 0, names, 0);
    ShowText(valueLine(half), 0, values, 0);
}

void TAutoMapComp::setSectionStep(TAutoMapPage& target, int section, int step)
{
    for (const int control : sectionControls(section)) {
        auto& states = target.controls[static_cast<std::size_t>(control)];
        if (step < static_cast<int>(states.states.size())) {
            states.current = step;
        }
    }
}

void TAutoMapComp::SectionButton(int section)
{
    const Half half = halfOfSection(section);
    const int pageIndex = currentPage(half);
    TAutoMapPage* current = pageAt(pageIndex);
    if (current == nullptr) {
        return;
    }
    bool otherSelected = false;
    for (int other = 0; other < kSectionCount; ++other) {
        auto& state = current->sections[static_cast<std::size_t>(other)];
        if (other != section && halfOfSection(other) == half && state.selected) {
            led(other, false);
            state.selected = false;
            otherSelected = true;
        }
    }
    auto& chosen = current->sections[static_cast<std::size_t>(section)];
    if (otherSelected) {
        chosen.selected = true;
    } else {
        chosen.step = chosen.step >= chosen.highest ? 0 : chosen.step + 1;
        setSectionStep(*current, section, chosen.step);
        chosen.selected = true;
    }
    led(section, true);
    drawSection(pageIndex, section);
}

// The next (1) or previous (-1) page of the half's kind, in list order, wrapping round.
void TAutoMapComp::page(Half half, int direction)
{
    if (!m_paging[static_cast<std::size_t>(halfIndex(half))] || m_pages.empty()) {
        return;
    }
    const int count = pageCount();
    int at = std::max(currentPage(half), 0);
    for (int tries = 0; tries < count; ++tries) {
        at = (at + direction + count) % count;
        if (halfOfKind(m_pages[static_cast<std::size_t>(at)].kind) == half) {
            m_current[static_cast<std::size_t>(halfIndex(half))] = at;
            for (int section = 0; section < kSectionCount; ++section) {
                if (halfOfSection(section) == half
                    && m_pages[static_cast<std::size_t>(at)]
                           .sections[static_cast<std::size_t>(section)]
                           .selected) {
                    drawSection(at, section);
                }
            }
            return;
        }
    }
}

void TAutoMapComp::send(std::vector<std::uint8_t> bytes, int key)
{
    m_output.send(std::move(bytes), key);
}

void TAutoMapComp::led(int section, bool on)
{
    m_output.controlChange(static_cast<std::uint8_t>(kFirstSectionButton + section), on ? 1 : 0);
}

} // namespace oskel
