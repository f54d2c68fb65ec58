#pragma once

#include <filesystem>

class QWidget;

namespace oskel {

// Writes where every named control of a window lies, one per line: "name left top width
// height" in pixels from the window's top left; the tabs of a named tab bar as
// "name:caption ...". Lets a test drive the real program with a pointer on a virtual screen.
void writeWidgetMap(const QWidget& window, const std::filesystem::path& file);

} // namespace oskel
