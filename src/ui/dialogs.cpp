#include "ui/dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "persistence/patch_file.h"

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

std::optional<std::filesystem::path> chosenPath(const QString& chosen)
{
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(chosen.toStdString());
}

QString patchFilter()
{
    return QString(kPatchDialogFilter) + ";;All Files (*)";
}

} // namespace

void QtDialogs::showMessage(std::string_view text)
{
    QMessageBox::information(m_owner, "Oskel 3", toQString(text));
}

std::optional<std::string> QtDialogs::askText(std::string_view caption, std::string_view prompt)
{
    return askValue(caption, prompt, {});
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
    return chosenPath(QFileDialog::getOpenFileName(m_owner, "Open Media",
        QString::fromStdString(folder.string()), "All Files (*);;AVI files (*.avi)"));
}

std::optional<std::string> QtDialogs::chooseLiveSource(const std::vector<std::string>& entries)
{
    QStringList items;
    for (const std::string& entry : entries) {
        items << QString::fromStdString(entry);
    }
    bool chosen = false;
    const QString text = QInputDialog::getItem(m_owner, "Open Live Source",
        "A camera, or a stream's address (udp://, srt://, rtmp://, http://):", items, 0, true,
        &chosen);
    if (!chosen || text.trimmed().isEmpty()) {
        return std::nullopt;
    }
    return text.trimmed().toStdString();
}

std::vector<std::filesystem::path> QtDialogs::chooseClips(const std::filesystem::path& folder)
{
    const QStringList chosen = QFileDialog::getOpenFileNames(m_owner, "Load Multiple Clips",
        QString::fromStdString(folder.string()), "All Files (*);;AVI files (*.avi)");
    std::vector<std::filesystem::path> files;
    for (const QString& file : chosen) {
        files.emplace_back(file.toStdString());
    }
    return files;
}

std::optional<std::filesystem::path> QtDialogs::choosePatchToOpen(
    const std::filesystem::path& start)
{
    return chosenPath(QFileDialog::getOpenFileName(
        m_owner, "Load Patch", QString::fromStdString(start.string()), patchFilter()));
}

std::optional<std::filesystem::path> QtDialogs::choosePatchToSave(
    const std::filesystem::path& start)
{
    QFileDialog dialog(
        m_owner, "Save Patch", QString::fromStdString(start.string()), patchFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString(kPatchExtension).mid(1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return chosenPath(dialog.selectedFiles().constFirst());
}

std::optional<std::filesystem::path> QtDialogs::locateLostFile(
    std::string_view message, const std::filesystem::path& folder, std::string_view name)
{
    showMessage(message);
    const std::filesystem::path start
        = folder / std::filesystem::path(std::string(name)).filename();
    return chosenPath(QFileDialog::getOpenFileName(m_owner, toQString(message),
        QString::fromStdString(start.string()), "All Files (*);;AVI files (*.avi)"));
}

std::optional<std::string> QtDialogs::askValue(
    std::string_view caption, std::string_view prompt, std::string_view text)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(
        m_owner, toQString(caption), toQString(prompt), QLineEdit::Normal, toQString(text), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return answer.toStdString();
}

std::optional<std::filesystem::path> QtDialogs::chooseStencil(const std::filesystem::path& start)
{
    return chosenPath(QFileDialog::getOpenFileName(
        m_owner, "Stencil", QString::fromStdString(start.string()), "Bitmap (*.bmp)"));
}

} // namespace oskel
