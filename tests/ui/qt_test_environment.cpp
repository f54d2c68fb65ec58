// One application object for the whole test program, on Qt's offscreen platform unless the
// environment names another.
#include <QApplication>
#include <memory>

#include <gtest/gtest.h>

namespace {

// The offscreen platform warns about every window feature it lacks; those warnings say
// nothing about the windows under test.
void quietOffscreenPlatform(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (!text.startsWith("This plugin does not support")) {
        qt_message_output(type, context, text);
    }
}

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        qInstallMessageHandler(quietOffscreenPlatform);
        m_application = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_application.reset(); }

private:
    int m_argc = 1;
    char m_name[9] = "ui_tests";
    char* m_argv[2] = { m_name, nullptr };
    std::unique_ptr<QApplication> m_application;
};

[[maybe_unused]] const auto* const kEnvironment
    = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
