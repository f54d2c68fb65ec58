#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <functional>
#include <string>

#include "control/secondary_output.h"
#include "ui/instrument_windows.h"
#include "ui/main_window.h"
#include "ui/secondary_output_window.h"

namespace oskel {

// The secondary output's logic meets the windows here: the monitors Qt reports, where the
// windows stand, and the secondary output window shown as the logic says. Each change of the
// window is kept in the settings file at once (`keep`).
class InstrumentWindows::SecondaryOutputPlaces final : public SecondaryOutput::Window {
public:
    SecondaryOutputPlaces(SecondaryOutputWindow& window, const QWidget& mainWindow,
        std::function<void(bool)> showDrawing, std::function<void(const std::string&)> tell,
        std::function<void()> keep)
        : m_window(window)
        , m_main(mainWindow)
        , m_showDrawing(std::move(showDrawing))
        , m_tell(std::move(tell))
        , m_keep(std::move(keep))
    {
    }

    secondary_output::Monitors monitors() const override
    {
        secondary_output::Monitors found;
        const QScreen* primary = QGuiApplication::primaryScreen();
        for (const QScreen* screen : QGuiApplication::screens()) {
            const QRect area = screen->geometry();
            found.push_back(
                { { area.left(), area.top(), area.width(), area.height() }, screen == primary });
        }
        return found;
    }

    int mainWindowMonitor() const override
    {
        return int(QGuiApplication::screens().indexOf(m_main.screen()));
    }

    ScreenPoint position() const override
    {
        const QPoint corner = m_window.pos();
        return { corner.x(), corner.y() };
    }

    void showExpanded(const ScreenRect& area) override
    {
        m_window.showExpanded(area);
        if (m_showDrawing) {
            m_showDrawing(true);
        }
        m_keep();
    }

    void showCollapsed(const ScreenRect& area, std::string_view heading) override
    {
        if (m_showDrawing) {
            m_showDrawing(false);
        }
        m_window.showCollapsed(area, heading);
        m_keep();
    }

    void tell(std::string_view message) override { m_tell(std::string(message)); }

private:
    SecondaryOutputWindow& m_window;
    const QWidget& m_main;
    std::function<void(bool)> m_showDrawing;
    std::function<void(const std::string&)> m_tell;
    std::function<void()> m_keep;
};

} // namespace oskel
