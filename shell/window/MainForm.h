#pragma once
// TfrmMain: the one window of both programs. Its controls carry the names of
// the form designer; their places are absolute, so they stay put when the
// window is resized. The window is also the runs' UserInterface.

#include "image/Template.h"
#include "shell/Program.h"
#include "shell/UserInterface.h"
#include "shell/window/Dialogs.h"

#include <QWidget>

#include <functional>
#include <string>

class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace chipshift {

// The two programs create their controls in different orders and so tab
// through them differently; everything else is shared.
enum class WindowVariant { MapForge, ActorForge };

WindowVariant variantOf(const Program& program);

class TfrmMain : public QWidget, public UserInterface {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 632;
    static constexpr int kClientHeight = 215;

    TfrmMain(const Program& program, WindowVariant variant, Template templ, Dialogs& dialogs,
             QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The controls, as the form designer names them.
    QRadioButton* rbFile = nullptr;
    QGroupBox* gbFile = nullptr;
    QLineEdit* txtLoad = nullptr;
    QPushButton* btnLoad = nullptr;
    QLineEdit* txtSave = nullptr;
    QPushButton* btnSave = nullptr;
    QRadioButton* rbFolder = nullptr;
    QGroupBox* gbFolder = nullptr;
    QLineEdit* txtFLoad = nullptr;
    QPushButton* btnFLoad = nullptr;
    QLineEdit* txtFSave = nullptr;
    QPushButton* btnFSave = nullptr;
    QLabel* lblCopy = nullptr;
    QLabel* lblNow = nullptr;
    QPushButton* btnStart = nullptr;
    QPushButton* btnFolStart = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnClose = nullptr;
    QFileDialog* od = nullptr;

    // The labels standing left of the four edits.
    QLabel* lblLoad = nullptr;
    QLabel* lblSave = nullptr;
    QLabel* lblFLoad = nullptr;
    QLabel* lblFSave = nullptr;

    const Program& program() const { return program_; }
    bool batchRunning() const { return batchDepth_ > 0; }

    // Called at every event pump of a batch run, after the events were
    // served; lets a caller look at the window in the middle of a run.
    std::function<void()> onPump;

    // UserInterface
    void showMessage(const std::string& text) override;
    void showError(const std::string& text) override;
    void setStatus(const std::string& caption) override;
    void setStatusColour(StatusColour colour) override;
    void setRunning(bool running) override;
    void pumpEvents() override;
    void beep() override;
    std::string targetFolderText() override;

public slots:
    void FormCreate();
    void rbFileClick();
    void rbFolderClick();
    void btnLoadClick();
    void btnSaveClick();
    void btnFLoadClick();
    void btnFSaveClick();
    void btnStartClick();
    void btnFolStartClick();
    void btnCancelClick();
    void btnCloseClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createControls(WindowVariant variant);
    void placeControls();
    void arrangeTabOrder(WindowVariant variant);
    void connectHandlers();
    void pickFolderInto(QLineEdit* field);
    void takeSourceFile(const std::string& path);
    // Runs a handler's body; an error that escapes it is shown in the error
    // box and the window stays.
    void guarded(const std::function<void()>& body);

    const Program& program_;
    Template templ_;
    Dialogs& dialogs_;
    int batchDepth_ = 0;
    bool closeAfterRun_ = false;
};

// Path texts of the fields as file-system bytes and back.
std::string fieldPath(const QLineEdit* field);
QString pathText(const std::string& path);

}  // namespace chipshift
