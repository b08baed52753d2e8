#include "shell/window/ScreenshotTour.h"

#include "image/Image.h"
#include "image/PngWriter.h"
#include "shell/window/MainForm.h"

#include <QApplication>
#include <QTimer>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <vector>

namespace chipshift {

namespace {

// A sheet of the program's size in bands of colour, so the outputs show
// something when opened.
void writeSampleSheet(const Program& program, const std::string& path, int shade) {
    const int w = program.sheetWidth, h = program.sheetHeight;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pixels[static_cast<std::size_t>(y) * w + x] =
                (std::uint32_t((x / 16) * 8 & 0xFF) << 16) | (std::uint32_t((y / 16) * 16 & 0xFF) << 8) |
                std::uint32_t(shade & 0xFF);
    Image sheet;
    sheet.assign(w, h, PixelFormat::Rgb24, Palette(), std::move(pixels));
    writePng(sheet, path);
}

void save(TfrmMain& window, const QString& folder, const QString& name) {
    QCoreApplication::processEvents();
    const QString prefix = QString::fromStdString(window.program().name);
    window.grab().save(folder + QLatin1Char('/') + prefix + QLatin1Char('-') + name + QStringLiteral(".png"));
}

}  // namespace

void runScreenshotTour(TfrmMain& window, const QString& folder) {
    const QString name = QString::fromStdString(window.program().name);
    const QString samples = folder + QLatin1Char('/') + name + QStringLiteral("-samples");
    const QString outputs = folder + QLatin1Char('/') + name + QStringLiteral("-outputs");
    QDir().mkpath(samples);
    QDir().mkpath(outputs);
    for (int i = 0; i < 3; ++i)
        writeSampleSheet(window.program(),
                         (samples + QStringLiteral("/sheet%1.png").arg(i)).toStdString(), 60 * i);

    window.txtLoad->setText(samples + QStringLiteral("/sheet0.png"));
    window.txtSave->setText(outputs);
    save(window, folder, QStringLiteral("1-file-mode"));

    // The single-file run ends in its message box: photographed, then closed.
    const QString boxPicture = folder + QLatin1Char('/') + name + QStringLiteral("-1b-message.png");
    QTimer::singleShot(500, &window, [boxPicture] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            box->grab().save(boxPicture);
            box->close();
        }
    });
    window.btnStart->click();

    window.rbFolder->click();
    window.txtFLoad->setText(samples);
    window.txtFSave->setText(outputs);
    save(window, folder, QStringLiteral("2-folder-mode"));

    // The picture of the run is taken at the pump after its first entry.
    bool taken = false;
    window.onPump = [&] {
        if (taken || !window.lblNow->text().contains(QLatin1Char('/'))) return;
        taken = true;
        save(window, folder, QStringLiteral("3-batch-running"));
    };
    window.btnFolStart->click();
    window.onPump = nullptr;
    save(window, folder, QStringLiteral("4-batch-done"));
}

}  // namespace chipshift
