#include "shell/window/Window.h"

#include "image/Template.h"
#include "shell/window/Dialogs.h"
#include "shell/window/MainForm.h"
#include "shell/window/ScreenshotTour.h"
#include "shell/window/WindowLook.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTimer>

namespace chipshift {

namespace {

void centreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
}

}  // namespace

int runWindow(const Program& program, int argc, char** argv) {
    QApplication app(argc, argv);
    const QString title = QString::fromStdString(program.title);
    QApplication::setApplicationName(title);
    QApplication::setApplicationDisplayName(title);
    QApplication::setWindowIcon(programIcon(program));
    // Message boxes and dialogs speak Japanese too.
    QApplication::setFont(windowFont());

    QtDialogs dialogs;
    TfrmMain frmMain(program, variantOf(program), Template::besideExecutable(), dialogs);
    centreOnScreen(frmMain);
    frmMain.show();

    const QByteArray screenshots = qgetenv("CHIPSHIFT_SCREENSHOTS");
    if (!screenshots.isEmpty())
        QTimer::singleShot(800, &frmMain, [&frmMain, screenshots] {
            runScreenshotTour(frmMain, QFile::decodeName(screenshots));
            frmMain.close();
        });
    return app.exec();
}

}  // namespace chipshift
