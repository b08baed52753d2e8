#include "shell/window/WindowLook.h"

#include "shell/window/Captions.h"

#include <QPalette>
#include <QWidget>

#include <png.h>
#include <zlib.h>

namespace chipshift {

QStringList windowFontFamilies() {
    return {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
            QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
            QStringLiteral("IPAGothic")};
}

QFont windowFont() {
    QFont font;
    font.setFamilies(windowFontFamilies());
    font.setPixelSize(12);
    return font;
}

void paintButtonFace(QWidget& window) {
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
}

QIcon programIcon(const Program& program) {
    const QString base = QStringLiteral(":/icons/") + QString::fromStdString(program.name);
    QIcon icon;
    icon.addFile(base + QStringLiteral(".png"), QSize(48, 48));
    icon.addFile(base + QStringLiteral("-256.png"), QSize(256, 256));
    return icon;
}

QString creditsText() {
    return QString::fromUtf8(caption::kCreditPng) + QStringLiteral("libpng ") +
           QString::fromLatin1(png_get_libpng_ver(nullptr)) + QLatin1Char('\n') +
           QString::fromUtf8(caption::kCreditZlib) + QStringLiteral("zlib ") +
           QString::fromLatin1(zlibVersion());
}

}  // namespace chipshift
