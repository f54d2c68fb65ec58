#include "ui/effect_panel.h"

#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <string>

#include "effects/effect_sliders.h"

namespace oskel {

namespace {

constexpr int kFollowMs = 100;

QSlider* makeSlider(QWidget* parent, int value)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(0, kEffectSliderTop);
    slider->setValue(value);
    return slider;
}

QString text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

// Does nothing with the keys typed into it: the plug-in is chosen from the list only.
class PluginBox : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void keyPressEvent(QKeyEvent*) override { }
};

} // namespace

EffectPanel::EffectPanel(
    EffectHost& host, Setter set, std::function<int()> slotShown, QWidget* parent)
    : QGroupBox("Effect", parent)
    , plugins(new PluginBox(this))
    , enable(new QPushButton("Enable Effect", this))
    , wetDryLabel(new QLabel("Wet / Dry", this))
    , wetDry(makeSlider(this, kEffectSliderTop))
    , debug(new QPushButton("Debug", this))
    , m_host(host)
    , m_set(std::move(set))
    , m_slotShown(std::move(slotShown))
{
    setObjectName("EffectPanel");
    plugins->setObjectName("cbPlugins");
    enable->setObjectName("cbEffect");
    enable->setCheckable(true);
    wetDry->setObjectName("tbWetDry");
    // The plug-in, its switch and the debug window on top, the mix below them, then the
    // eight parameters in two columns, each with its name, display text and value over its
    // slider.
    constexpr int kColumns = 2;
    constexpr int kCellColumns = 3;
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(1);
    grid->addWidget(plugins, 0, 0, 1, kCellColumns + 1);
    grid->addWidget(enable, 0, kCellColumns + 1);
    grid->addWidget(debug, 0, kCellColumns + 2);
    grid->addWidget(wetDryLabel, 1, 0);
    grid->addWidget(wetDry, 1, 1, 1, kColumns * kCellColumns - 1);
    for (int i = 0; i < kEffectParameters; ++i) {
        const auto k = static_cast<std::size_t>(i);
        names.at(k) = new QLabel(this);
        sliders.at(k) = makeSlider(this, 0);
        sliders.at(k)->setObjectName(QString("tbParam%1").arg(i));
        displays.at(k) = new QLabel(this);
        values.at(k) = new QLabel(this);
        const int row = 2 + (i / kColumns) * 2;
        const int column = (i % kColumns) * kCellColumns;
        grid->addWidget(names.at(k), row, column);
        grid->addWidget(displays.at(k), row, column + 1);
        grid->addWidget(values.at(k), row, column + 2);
        grid->addWidget(sliders.at(k), row + 1, column, 1, kCellColumns);
        connect(sliders.at(k), &QSlider::valueChanged, this, [this, i](int position) {
            send("EffectParameter" + std::to_string(i + 1),
                control_entries::thousandths(parameterFromSlider(position)));
        });
    }

    connect(plugins, &QComboBox::activated, this, [this](int index) {
        send("EffectPlugin", index);
        showSlot();
    });
    connect(enable, &QPushButton::clicked, this, [this](bool on) {
        send("Effect", on ? 1 : 0);
        showSlot(); // refused without a plug-in: the button goes out again
    });
    connect(wetDry, &QSlider::valueChanged, this, [this](int position) {
        send("EffectWetDry", control_entries::thousandths(wetDryFromSlider(position)));
    });
    connect(debug, &QPushButton::clicked, this, [this] { showDebugWindow(); });

    m_host.setListener(this);
    connect(&m_follow, &QTimer::timeout, this, [this] { followSelection(); });
    m_follow.start(kFollowMs);
    showPlugins();
    followSelection();
    showSlot();
}

EffectPanel::~EffectPanel()
{
    m_host.setListener(nullptr);
}

void EffectPanel::send(std::string_view item, std::int32_t value)
{
    if (m_slot == 0) {
        return;
    }
    if (const auto address = findControl("[Slot" + std::to_string(m_slot) + "]", item)) {
        m_set(*address, value);
    }
}

void EffectPanel::followSelection()
{
    const int slot = m_slotShown();
    if (slot != m_slot) {
        m_slot = slot;
        showSlot();
    }
}

void EffectPanel::showPlugins()
{
    const QSignalBlocker blocker(plugins);
    plugins->clear();
    const PluginList& list = m_host.plugins();
    for (int index = 0; index < list.size(); ++index) {
        plugins->addItem(QString::fromStdString(list.shownName(index)));
    }
}

void EffectPanel::showSlot()
{
    const EffectShown shown = m_host.shown(m_slot);
    setEnabled(m_slot != 0);
    {
        const QSignalBlocker blocker(plugins);
        plugins->setCurrentIndex(shown.listIndex);
    }
    {
        const QSignalBlocker blocker(enable);
        enable->setChecked(shown.active && shown.enabled);
    }
    for (int i = 0; i < kEffectParameters; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const bool has = i < shown.parameterCount;
        const QSignalBlocker blocker(sliders.at(k));
        sliders.at(k)->setVisible(has);
        names.at(k)->setText(has ? QString::fromStdString(shown.names.at(k)) : QString());
        displays.at(k)->setText(has ? QString::fromStdString(shown.displays.at(k)) : QString());
        values.at(k)->setText(has ? QString::number(shown.values.at(k), 'f', 5) : QString());
        if (has) {
            sliders.at(k)->setValue(sliderFromParameter(shown.values.at(k)));
        }
    }
    const QSignalBlocker blocker(wetDry);
    wetDry->setVisible(shown.hasMixer);
    wetDryLabel->setVisible(shown.hasMixer);
    wetDry->setValue(sliderFromWetDry(shown.wetDry));
}

void EffectPanel::pluginsChanged()
{
    showPlugins();
    showSlot();
}

void EffectPanel::slotChanged(int slot)
{
    if (slot == m_slot) {
        showSlot();
    }
}

void EffectPanel::parameterText(
    int slot, int index, std::string_view display, std::string_view value)
{
    if (slot != m_slot || index < 0 || index >= kEffectParameters) {
        return;
    }
    displays.at(static_cast<std::size_t>(index))->setText(text(display));
    values.at(static_cast<std::size_t>(index))->setText(text(value));
}

void EffectPanel::debugLine(std::string_view line)
{
    if (m_debugText != nullptr) {
        m_debugText->appendPlainText(text(line));
    }
}

void EffectPanel::debugStatus(std::string_view status)
{
    if (m_debugStatus != nullptr) {
        m_debugStatus->setText(text(status));
    }
}

// The host's debug window: what the last plug-ins reported, and the status line.
void EffectPanel::showDebugWindow()
{
    if (m_debugWindow == nullptr) {
        auto* window = new QDialog(this);
        window->setWindowTitle(" FreeFrame 1.0 Plugin Debug Info");
        auto* layout = new QVBoxLayout(window);
        m_debugText = new QPlainTextEdit(window);
        m_debugText->setReadOnly(true);
        m_debugStatus = new QLabel(window);
        layout->addWidget(m_debugText, 1);
        layout->addWidget(m_debugStatus);
        window->resize(360, 420);
        m_debugWindow = window;
    }
    m_debugText->clear();
    for (const std::string& line : m_host.debugLines()) {
        m_debugText->appendPlainText(QString::fromStdString(line));
    }
    m_debugStatus->setText(QString::fromStdString(m_host.debugStatus()));
    m_debugWindow->show();
    m_debugWindow->raise();
}

} // namespace oskel
