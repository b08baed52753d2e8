#include "shell/window/MainForm.h"

#include "image/LoadByExtension.h"
#include "shell/BatchRun.h"
#include "shell/FileSystem.h"
#include "shell/Messages.h"
#include "shell/SingleFileRun.h"
#include "shell/window/WindowLook.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include <exception>

namespace chipshift {

WindowVariant variantOf(const Program& program) {
    return program.name == "actorforge" ? WindowVariant::ActorForge : WindowVariant::MapForge;
}

std::string fieldPath(const QLineEdit* field) {
    const QByteArray bytes = QFile::encodeName(field->text());
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString pathText(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

TfrmMain::TfrmMain(const Program& program, WindowVariant variant, Template templ, Dialogs& dialogs,
                   QWidget* parent)
    : QWidget(parent), program_(program), templ_(std::move(templ)), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromStdString(program.title));
    setWindowIcon(programIcon(program));
    setFont(windowFont());
    paintButtonFace(*this);
    setAcceptDrops(true);
    if (variant == WindowVariant::MapForge) {
        // A single border: no resizing, no maximise button.
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                       Qt::WindowCloseButtonHint);
        setFixedSize(kClientWidth, kClientHeight);
    } else {
        resize(kClientWidth, kClientHeight);
    }

    createControls(variant);
    placeControls();
    arrangeTabOrder(variant);
    connectHandlers();

    rbFile->setChecked(true);
    rbFileClick();
    btnFolStart->hide();
    btnCancel->hide();
    setStatusColour(StatusColour::Black);
    FormCreate();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::connectHandlers() {
    connect(rbFile, &QRadioButton::clicked, this, &TfrmMain::rbFileClick);
    connect(rbFolder, &QRadioButton::clicked, this, &TfrmMain::rbFolderClick);
    connect(btnLoad, &QPushButton::clicked, this, &TfrmMain::btnLoadClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmMain::btnSaveClick);
    connect(btnFLoad, &QPushButton::clicked, this, &TfrmMain::btnFLoadClick);
    connect(btnFSave, &QPushButton::clicked, this, &TfrmMain::btnFSaveClick);
    connect(btnStart, &QPushButton::clicked, this, &TfrmMain::btnStartClick);
    connect(btnFolStart, &QPushButton::clicked, this, &TfrmMain::btnFolStartClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmMain::btnCancelClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmMain::btnCloseClick);
}

void TfrmMain::FormCreate() {
    lblCopy->setText(creditsText());
    lblCopy->adjustSize();
}

void TfrmMain::rbFileClick() {
    for (QWidget* w : {static_cast<QWidget*>(txtLoad), static_cast<QWidget*>(txtSave),
                       static_cast<QWidget*>(btnLoad), static_cast<QWidget*>(btnSave),
                       static_cast<QWidget*>(lblLoad), static_cast<QWidget*>(lblSave)})
        w->setEnabled(true);
    for (QWidget* w : {static_cast<QWidget*>(txtFLoad), static_cast<QWidget*>(txtFSave),
                       static_cast<QWidget*>(btnFLoad), static_cast<QWidget*>(btnFSave),
                       static_cast<QWidget*>(lblFLoad), static_cast<QWidget*>(lblFSave)})
        w->setEnabled(false);
    btnStart->show();
    btnFolStart->hide();
}

void TfrmMain::rbFolderClick() {
    for (QWidget* w : {static_cast<QWidget*>(txtFLoad), static_cast<QWidget*>(txtFSave),
                       static_cast<QWidget*>(btnFLoad), static_cast<QWidget*>(btnFSave),
                       static_cast<QWidget*>(lblFLoad), static_cast<QWidget*>(lblFSave)})
        w->setEnabled(true);
    for (QWidget* w : {static_cast<QWidget*>(txtLoad), static_cast<QWidget*>(txtSave),
                       static_cast<QWidget*>(btnLoad), static_cast<QWidget*>(btnSave),
                       static_cast<QWidget*>(lblLoad), static_cast<QWidget*>(lblSave)})
        w->setEnabled(false);
    btnStart->hide();
    btnFolStart->show();
}

void TfrmMain::takeSourceFile(const std::string& path) {
    const std::string extension = extensionOf(path);
    if (extension == ".bmp" || extension == ".png")
        txtLoad->setText(pathText(path));
    else
        showMessage(msg::kNotBmpOrPng);
}

void TfrmMain::btnLoadClick() {
    guarded([this] {
        // Every opening offers the first choice, whatever was picked last time.
        od->selectNameFilter(od->nameFilters().value(0));
        if (const std::optional<std::string> chosen = dialogs_.openFile(*od)) takeSourceFile(*chosen);
    });
}

void TfrmMain::pickFolderInto(QLineEdit* field) {
    guarded([this, field] {
        const std::string folder = dialogs_.selectFolder(this);
        if (isExistingFolder(folder)) field->setText(pathText(folder));
    });
}

void TfrmMain::btnSaveClick() { pickFolderInto(txtSave); }
void TfrmMain::btnFLoadClick() { pickFolderInto(txtFLoad); }
void TfrmMain::btnFSaveClick() { pickFolderInto(txtFSave); }

void TfrmMain::btnStartClick() {
    guarded([this] { runSingleFile(program_, templ_, *this, fieldPath(txtLoad), fieldPath(txtSave)); });
}

void TfrmMain::btnFolStartClick() {
    ++batchDepth_;
    guarded([this] { runBatch(program_, templ_, *this, fieldPath(txtFLoad)); });
    --batchDepth_;
    // A close asked for during the run takes effect now that it is over.
    if (closeAfterRun_ && batchDepth_ == 0) close();
}

void TfrmMain::btnCancelClick() {
    cancelRequest = 1;
    btnCancel->hide();
}

void TfrmMain::btnCloseClick() { close(); }

void TfrmMain::closeEvent(QCloseEvent* event) {
    // The batch run is still on the stack below the event pump: the window
    // must outlive it, so the close waits for the run's end.
    if (batchRunning()) {
        closeAfterRun_ = true;
        event->ignore();
        return;
    }
    closeAfterRun_ = false;
    event->accept();
}

void TfrmMain::guarded(const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& e) {
        showError(e.what());
    }
}

// ---- UserInterface ----

void TfrmMain::showMessage(const std::string& text) {
    dialogs_.showMessage(this, windowTitle(), QString::fromStdString(text));
}

void TfrmMain::showError(const std::string& text) {
    dialogs_.showError(this, windowTitle(), QString::fromStdString(text));
}

void TfrmMain::setStatus(const std::string& caption) {
    lblNow->setText(QString::fromStdString(caption));
    lblNow->adjustSize();
}

void TfrmMain::setStatusColour(StatusColour colour) {
    QPalette palette = lblNow->palette();
    palette.setColor(QPalette::WindowText, colour == StatusColour::Red ? QColor(255, 0, 0)
                                                                       : QColor(0, 0, 0));
    lblNow->setPalette(palette);
    lblNow->adjustSize();
}

void TfrmMain::setRunning(bool running) {
    btnFolStart->setEnabled(!running);
    btnCancel->setVisible(running);
}

void TfrmMain::pumpEvents() {
    QCoreApplication::processEvents();
    if (onPump) onPump();
}

void TfrmMain::beep() { QApplication::beep(); }

std::string TfrmMain::targetFolderText() { return fieldPath(txtFSave); }

// ---- drag and drop ----

namespace {

// The one local path carried by a drag, or empty.
QString droppedPath(const QMimeData* mime) {
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1) return {};
    const QUrl url = mime->urls().first();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedPath(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* event) {
    const QString dropped = droppedPath(event->mimeData());
    if (dropped.isEmpty()) return;
    const QByteArray bytes = QFile::encodeName(dropped);
    const std::string path(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    event->acceptProposedAction();

    QWidget* target = childAt(event->position().toPoint());
    if (isExistingFolder(path)) {
        // A folder goes into the enabled folder field it was dropped on.
        for (QLineEdit* field : {txtSave, txtFLoad, txtFSave})
            if (target == field && field->isEnabled()) field->setText(pathText(path));
        return;
    }
    guarded([&] {
        if (rbFile->isChecked() && isExistingFile(path)) takeSourceFile(path);
    });
}

}  // namespace chipshift
