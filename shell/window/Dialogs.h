#pragma once
// The window's modal dialogs behind one seam, so tests answer them without a
// person. Paths cross it as file-system bytes (QFile::encodeName), which keeps
// names that are not valid text intact.

#include <QString>

#include <optional>
#include <string>

class QFileDialog;
class QWidget;

namespace chipshift {

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A box with the text, the application title as caption, no icon, one OK.
    virtual void showMessage(QWidget* owner, const QString& title, const QString& text) = 0;
    // The same with an error icon: an error that ended a handler.
    virtual void showError(QWidget* owner, const QString& title, const QString& text) = 0;
    // Shows the window's file-open dialog; the chosen file, or nothing when
    // the user cancelled.
    virtual std::optional<std::string> openFile(QFileDialog& od) = 0;
    // The folder browser, opening at the top of the file system; the chosen
    // folder, or an empty string when the user cancelled.
    virtual std::string selectFolder(QWidget* owner) = 0;
};

// The real dialogs of the Qt toolkit.
class QtDialogs : public Dialogs {
public:
    void showMessage(QWidget* owner, const QString& title, const QString& text) override;
    void showError(QWidget* owner, const QString& title, const QString& text) override;
    std::optional<std::string> openFile(QFileDialog& od) override;
    std::string selectFolder(QWidget* owner) override;
};

}  // namespace chipshift
