#include "ui/compression_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "control/compression_presets.h"
#include "recording/encoder_options.h"
#include "ui/dialogs.h"

namespace oskel {

namespace {

QString text(std::string_view from)
{
    return QString::fromUtf8(from.data(), static_cast<qsizetype>(from.size()));
}

// The compressor's own settings as a form: one line per setting, empty for its default.
std::optional<std::string> askOptions(
    QWidget* parent, const std::string& compressor, const std::string& current)
{
    const VideoCompressor* chosen = findVideoCompressor(compressor);
    if (chosen == nullptr) {
        return std::nullopt;
    }
    QDialog form(parent);
    form.setWindowTitle(text(compressor));
    auto* layout = new QFormLayout(&form);
    std::vector<std::pair<std::string, QLineEdit*>> lines;
    for (const EncoderOption& option : encoderOptions(chosen->kind)) {
        auto* line = new QLineEdit;
        line->setPlaceholderText(text(option.defaultValue));
        std::string tip = option.help;
        if (!option.choices.empty()) {
            tip += "\nOne of:";
            for (const std::string& choice : option.choices) {
                tip += " " + choice;
            }
        }
        line->setToolTip(text(tip));
        const std::string key = option.name + "=";
        if (const auto at = current.find(key);
            at != std::string::npos && (at == 0 || current[at - 1] == ':')) {
            const auto end = current.find(':', at);
            line->setText(text(current.substr(at + key.size(), end - at - key.size())));
        }
        layout->addRow(text(option.name), line);
        lines.emplace_back(option.name, line);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &form, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &form, &QDialog::reject);
    layout->addRow(buttons);
    if (form.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    std::string options;
    for (const auto& [name, line] : lines) {
        const std::string value = line->text().trimmed().toStdString();
        if (!value.empty()) {
            options += (options.empty() ? "" : ":") + name + "=" + value;
        }
    }
    return options;
}

} // namespace

CompressionWindow::CompressionWindow(Dialogs& dialogs, std::filesystem::path presetsFile,
    const std::filesystem::path& output, QWidget* parent)
    : QDialog(parent)
    , m_dialogs(dialogs)
    , m_presetsFile(std::move(presetsFile))
    , m_settings(output)
{
    setWindowTitle("Video Compression Settings");
    build();
    if (const std::string problem = m_settings.load(m_presetsFile); !problem.empty()) {
        m_dialogs.showMessage(problem);
    }
    show();
    bind();
}

CompressionWindow::~CompressionWindow() = default;

void CompressionWindow::build()
{
    auto* layout = new QGridLayout(this);
    compressors = new QComboBox;
    compressors->setObjectName("cbCompressor");
    for (const std::string& name : m_settings.compressors()) {
        compressors->addItem(text(name));
    }
    configure = new QPushButton("Configure");
    quality = new QSlider(Qt::Horizontal);
    quality->setRange(0, 100);
    qualityText = new QLabel;
    limitDataRate = new QCheckBox("Limit Data Rate to");
    dataRate = new QSpinBox;
    dataRate->setRange(0, 1000000);
    dataRate->setSuffix(" KB/sec");
    keyFrame = new QSpinBox;
    keyFrame->setRange(0, 100000);
    keyFrame->setPrefix("Key Frame every ");
    keyFrame->setSuffix(" frames");
    presets = new QListWidget;
    add = new QPushButton("Add");
    remove = new QPushButton("Remove");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    layout->addWidget(new QLabel("Compressor:"), 0, 0);
    layout->addWidget(compressors, 0, 1);
    layout->addWidget(configure, 0, 2);
    layout->addWidget(new QLabel("Quality:"), 1, 0);
    layout->addWidget(quality, 1, 1);
    layout->addWidget(qualityText, 1, 2);
    layout->addWidget(limitDataRate, 2, 0);
    layout->addWidget(dataRate, 2, 1);
    layout->addWidget(keyFrame, 3, 0, 1, 2);
    auto* presetBox = new QGroupBox("Presets");
    auto* presetLayout = new QVBoxLayout(presetBox);
    presetLayout->addWidget(presets);
    auto* presetButtons = new QHBoxLayout;
    presetButtons->addWidget(add);
    presetButtons->addWidget(remove);
    presetLayout->addLayout(presetButtons);
    layout->addWidget(presetBox, 4, 0, 1, 3);
    layout->addWidget(buttons, 5, 0, 1, 3);
}

void CompressionWindow::show()
{
    const QSignalBlocker blocks[] { QSignalBlocker(compressors), QSignalBlocker(quality),
        QSignalBlocker(limitDataRate), QSignalBlocker(dataRate), QSignalBlocker(keyFrame) };
    compressors->setCurrentText(text(m_settings.compressor()));
    const CompressionSettings::Enabled enabled = m_settings.enabled();
    configure->setEnabled(enabled.configure);
    quality->setEnabled(enabled.quality);
    quality->setValue(m_settings.quality());
    qualityText->setText(QString::number(m_settings.quality()) + "%");
    limitDataRate->setEnabled(enabled.dataRate);
    limitDataRate->setChecked(m_settings.dataRateLimited());
    dataRate->setEnabled(enabled.dataRate);
    dataRate->setValue(m_settings.dataRate());
    keyFrame->setEnabled(enabled.keyFrame);
    keyFrame->setValue(m_settings.keyFrame());
    presets->clear();
    for (const CompressionPreset& preset : m_settings.presets()) {
        presets->addItem(text(preset.name));
    }
}

void CompressionWindow::bind()
{
    connect(compressors, &QComboBox::textActivated, this, [this](const QString& name) {
        m_settings.choose(name.toStdString());
        show();
    });
    connect(quality, &QSlider::valueChanged, this, [this](int value) {
        m_settings.setQuality(value);
        qualityText->setText(QString::number(value) + "%");
    });
    connect(limitDataRate, &QCheckBox::toggled, this,
        [this](bool on) { m_settings.setDataRate(on, dataRate->value()); });
    connect(dataRate, &QSpinBox::valueChanged, this,
        [this](int value) { m_settings.setDataRate(limitDataRate->isChecked(), value); });
    connect(keyFrame, &QSpinBox::valueChanged, this,
        [this](int value) { m_settings.setKeyFrame(value); });
    connect(configure, &QPushButton::clicked, this, [this] {
        if (const auto options = askOptions(this, m_settings.compressor(), m_settings.options())) {
            configureWith(*options);
        }
    });
    connect(presets, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (const auto problem = m_settings.apply(static_cast<std::size_t>(presets->row(item)))) {
            m_dialogs.showMessage(*problem);
        }
        show();
    });
    connect(add, &QPushButton::clicked, this, [this] { addPreset(); });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (presets->currentRow() >= 0) {
            m_settings.remove(static_cast<std::size_t>(presets->currentRow()));
            show();
        }
    });
}

void CompressionWindow::configureWith(const std::string& options)
{
    if (const std::string problem = m_settings.setOptions(options); !problem.empty()) {
        m_dialogs.showMessage(problem);
    }
}

void CompressionWindow::addPreset()
{
    using namespace compression_presets;
    const auto name = m_dialogs.askText(kAddCaption, kAddPrompt);
    if (!name) {
        return;
    }
    std::string problem = m_settings.add(*name, false);
    if (problem == kOverwrite
        && m_dialogs.ask(kOverwrite, DialogButtons::YesNo) == DialogAnswer::Yes) {
        problem = m_settings.add(*name, true);
    }
    if (problem == kBadName) {
        m_dialogs.showMessage(problem);
    }
    show();
}

void CompressionWindow::accept()
{
    if (const auto problem = m_settings.save(m_presetsFile)) {
        m_dialogs.showMessage(*problem);
        return;
    }
    QDialog::accept();
}

} // namespace oskel
