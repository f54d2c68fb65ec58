#include "ui/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace oskel {

namespace {

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::StandardButtons standardButtons(DialogButtons buttons)
{
    switch (buttons) {
    case DialogButtons::Ok:
        return QMessageBox::Ok;
    case DialogButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case DialogButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case DialogButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

DialogAnswer answerOf(QMessageBox::StandardButton pressed)
{
    switch (pressed) {
    case QMessageBox::Ok:
        return DialogAnswer::Ok;
    case QMessageBox::Yes:
        return DialogAnswer::Yes;
    case QMessageBox::No:
        return DialogAnswer::No;
    default:
        return DialogAnswer::Cancel;
    }
}

} // namespace

void QtDialogs::showMessage(std::string_view text)
{
    QMessageBox::information(m_owner, "Oskel 3", toQString(text));
}

DialogAnswer QtDialogs::ask(std::string_view question, DialogButtons buttons)
{
    const QMessageBox::StandardButton pressed
        = QMessageBox::question(m_owner, "Oskel 3", toQString(question), standardButtons(buttons));
    if (pressed == QMessageBox::NoButton || pressed == QMessageBox::Escape) {
        return SilentUserInterface().ask(question, buttons);
    }
    return answerOf(pressed);
}

std::optional<std::filesystem::path> QtDialogs::chooseClip(const std::filesystem::path& folder)
{
    const QString chosen = QFileDialog::getOpenFileName(m_owner, "Open Media",
        QString::fromStdString(folder.string()), "All Files (*);;AVI files (*.avi)");
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(chosen.toStdString());
}

} // namespace oskel
