#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

#include <gtest/gtest.h>

#include "persistence/presets_file.h"
#include "support/temp_dir.h"
#include "ui/compression_window.h"
#include "windows_fixture.h"

namespace oskel {
namespace {

QStringList items(const QComboBox& box)
{
    QStringList all;
    for (int k = 0; k < box.count(); ++k) {
        all << box.itemText(k);
    }
    return all;
}

// The dialog on the offscreen platform: the list follows the output's kind of file, each
// compressor enables its controls, presets are added and the file keeps them.
TEST(CompressionWindowTest, ChoosingAddingAndSavingThroughTheWidgets)
{
    test::TempDir folder;
    const auto presetsFile = folder / "presets.bin";
    test::RecordingDialogs dialogs;
    {
        CompressionWindow window(dialogs, presetsFile, folder / "take.mp4");
        EXPECT_EQ(items(*window.compressors), (QStringList { "MJPEG", "MPEG-4", "H.264" }));
        EXPECT_FALSE(window.keyFrame->isEnabled()) << "MJPEG has no key frames to set";

        window.compressors->setCurrentIndex(2);
        window.compressors->textActivated("H.264");
        EXPECT_TRUE(window.quality->isEnabled());
        EXPECT_TRUE(window.keyFrame->isEnabled());
        EXPECT_TRUE(window.limitDataRate->isEnabled());
        EXPECT_TRUE(window.configure->isEnabled());
        EXPECT_EQ(window.dataRate->value(), 1000);
        window.quality->setValue(40);
        EXPECT_EQ(window.qualityText->text(), "40%");

        dialogs.typedTexts = { std::string("Small"), std::string("Default") };
        window.add->click();
        window.add->click();
        ASSERT_EQ(window.presets->count(), 1);
        EXPECT_EQ(window.presets->item(0)->text(), "Small");
        EXPECT_EQ(dialogs.messages.back(), "There is a problem with your preset name!");

        window.configureWith("bogus=1");
        EXPECT_EQ(dialogs.messages.back(), "H.264 does not take bogus=1");
        window.accept();
    }
    const PresetsRead saved = readPresetsFile(presetsFile);
    ASSERT_EQ(saved.presets.size(), 2u);
    EXPECT_EQ(saved.presets[0].compressor, "H.264");
    EXPECT_EQ(saved.presets[0].quality, 40);
    EXPECT_EQ(saved.presets[1].name, "Small");

    CompressionWindow again(dialogs, presetsFile, folder / "take.mp4");
    EXPECT_EQ(again.compressors->currentText(), "H.264") << "the settings in force come back";
    EXPECT_EQ(again.quality->value(), 40);
}

} // namespace
} // namespace oskel
