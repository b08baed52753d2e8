#pragma once
// What the window tests share: dialogs answered by the test, and programs
// whose converter is quick and lets a test act in the middle of a run.

#include "shell/Program.h"
#include "shell/window/Dialogs.h"
#include "shell/window/MainForm.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace chipshift::test {

class FakeDialogs : public Dialogs {
public:
    struct Box {
        QString title;
        QString text;
    };
    std::vector<Box> messages;
    std::vector<Box> errors;

    // Answers of the file dialog (nullopt: cancelled) and of the folder
    // browser ("" : cancelled), taken in order.
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<std::string> folderAnswers;

    // The file dialog's filters and selected filter, as it was opened.
    QStringList openedFilters;
    QString openedSelectedFilter;
    int fileDialogOpenings = 0;
    int folderBrowserOpenings = 0;

    void showMessage(QWidget* owner, const QString& title, const QString& text) override;
    void showError(QWidget* owner, const QString& title, const QString& text) override;
    std::optional<std::string> openFile(QFileDialog& od) override;
    std::string selectFolder(QWidget* owner) override;
};

// A program whose sheets are 8 x 256 and whose converter writes nothing but
// calls convertHook (with the source path) when set.
Program fakeProgram(WindowVariant variant);
extern std::function<void(const std::string& sourcePath)> convertHook;

// The programs' titles as the two programs set them.
QString titleOf(WindowVariant variant);

// A window of the fake program for the variant, with the test's dialogs.
struct WindowFixture {
    explicit WindowFixture(WindowVariant variant);
    ~WindowFixture();
    Program program;
    FakeDialogs dialogs;
    std::unique_ptr<TfrmMain> window;
};

// Writes a 24-bit bitmap of the given size at path.
void writeSheet(const std::string& path, int width, int height);

}  // namespace chipshift::test
