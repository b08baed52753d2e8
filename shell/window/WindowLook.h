#pragma once
// The look both windows share: font, colours, icon, credits.

#include "shell/Program.h"

#include <QFont>
#include <QIcon>
#include <QString>
#include <QStringList>

class QWidget;

namespace chipshift {

// "ＭＳ Ｐゴシック" first; where it is missing, a Japanese proportional
// gothic that Debian installs (fonts-ipafont-gothic).
QStringList windowFontFamilies();
// The families above at a character height of 12 pixels.
QFont windowFont();

// The window's background in the button-face colour.
void paintButtonFace(QWidget& window);

// The program's own icon, compiled into the library as a resource.
QIcon programIcon(const Program& program);

// Two lines crediting the PNG library and zlib that this build runs with,
// with the versions they report at run time.
QString creditsText();

}  // namespace chipshift
