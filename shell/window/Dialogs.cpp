#include "shell/window/Dialogs.h"

#include "shell/window/Captions.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

namespace chipshift {

namespace {

std::string toBytes(const QString& path) {
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void showBox(QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    // The texts are plain: a path holding "<" must not turn into markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

void QtDialogs::showMessage(QWidget* owner, const QString& title, const QString& text) {
    showBox(owner, QMessageBox::NoIcon, title, text);
}

void QtDialogs::showError(QWidget* owner, const QString& title, const QString& text) {
    showBox(owner, QMessageBox::Critical, title, text);
}

std::optional<std::string> QtDialogs::openFile(QFileDialog& od) {
    if (od.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = od.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return toBytes(files.first());
}

std::string QtDialogs::selectFolder(QWidget* owner) {
    // Opens at "/" every time, never at the folder already in the field.
    const QString folder = QFileDialog::getExistingDirectory(
        owner, QString::fromUtf8(caption::kFolderBrowserTitle), QStringLiteral("/"),
        QFileDialog::ShowDirsOnly);
    return folder.isEmpty() ? std::string() : toBytes(folder);
}

}  // namespace chipshift
