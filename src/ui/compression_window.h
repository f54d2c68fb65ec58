#pragma once

#include <QDialog>
#include <filesystem>

#include "recording/compression_settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;

namespace oskel {

class Dialogs;

// "Video Compression Settings": the compressor a render writes with (those the render output's
// kind of file can hold), its quality, data-rate limit, key frames and own settings, and the
// presets, kept in the presets file. "OK" saves the file; the settings in force are its first
// record, which renders made from the windows use.
class CompressionWindow : public QDialog {
public:
    CompressionWindow(Dialogs& dialogs, std::filesystem::path presetsFile,
        const std::filesystem::path& output, QWidget* parent = nullptr);
    ~CompressionWindow() override;

    QComboBox* compressors;
    QPushButton* configure;
    QSlider* quality;
    QLabel* qualityText;
    QCheckBox* limitDataRate;
    QSpinBox* dataRate;
    QSpinBox* keyFrame;
    QListWidget* presets;
    QPushButton* add;
    QPushButton* remove;

    const CompressionSettings& settings() const { return m_settings; }
    // The settings' own form, "Configure"; without widgets for the tests.
    void configureWith(const std::string& options);
    void accept() override;

private:
    void build();
    void bind();
    void show(); // every control from the settings, their handlers blocked
    void addPreset();

    Dialogs& m_dialogs;
    std::filesystem::path m_presetsFile;
    CompressionSettings m_settings;
};

} // namespace oskel
