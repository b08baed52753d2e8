// Every text the window can show is drawn by the window's own font, so none
// turns into empty boxes: captions, labels, titles, the file dialog's
// choices, the folder browser's title, the credits and the runs' messages.

#include "tests/window/WindowTestSupport.h"

#include "shell/Messages.h"
#include "shell/window/Captions.h"
#include "shell/window/WindowLook.h"

#include <QFontInfo>
#include <QRawFont>
#include <QTest>

using namespace chipshift;
using namespace chipshift::test;

namespace {

QStringList everyText() {
    QStringList texts{
        titleOf(WindowVariant::MapForge), titleOf(WindowVariant::ActorForge), creditsText()};
    for (const char* t : {msg::kNoFile, msg::kNoFolder, msg::kWrongSize, msg::kDone,
                          msg::kNoSourceFolder, msg::kNoTargetFolder, msg::kBatchRunning,
                          msg::kBatchDone, msg::kNotBmpOrPng, msg::kWouldReplaceSource,
                          caption::kFileMode, caption::kFolderMode, caption::kSourceFileLabel,
                          caption::kSourceFolderLabel, caption::kTargetFolderLabel, caption::kPick,
                          caption::kStart, caption::kCancel, caption::kClose, caption::kIdle,
                          caption::kFolderBrowserTitle, caption::kCreditPng, caption::kCreditZlib})
        texts << QString::fromUtf8(t);
    for (const caption::FileChoice& choice : caption::kFileChoices)
        texts << QString::fromUtf8(choice.text) << QString::fromLatin1(choice.patterns);
    texts << "0123456789/";  // the running count
    return texts;
}

}  // namespace

class WindowFontsTest : public QObject {
    Q_OBJECT

private slots:
    void windowFontIsAJapaneseGothic() {
        // The font the window asks for resolves to one of its own families,
        // not to whatever the system would substitute.
        const QRawFont resolved = QRawFont::fromFont(windowFont());
        QVERIFY(resolved.isValid());
        QVERIFY2(windowFontFamilies().contains(resolved.familyName()), qPrintable(resolved.familyName()));
        QCOMPARE(QFontInfo(windowFont()).pixelSize(), 12);
    }

    void everyCharacterIsInTheFont() {
        const QRawFont font = QRawFont::fromFont(windowFont());
        QVERIFY(font.isValid());
        for (const QString& text : everyText()) {
            for (const char32_t c : text.toUcs4()) {
                if (c == U'\n') continue;
                QVERIFY2(font.supportsCharacter(c),
                         qPrintable(QStringLiteral("U+%1 of \"%2\" is missing from %3")
                                        .arg(quint32(c), 4, 16, QLatin1Char('0'))
                                        .arg(text, font.familyName())));
            }
        }
    }

    void realWindowTextsAreCovered() {
        // The same for what the window actually holds, so a caption added
        // without its constant is caught as well.
        WindowFixture f(WindowVariant::MapForge);
        const QRawFont font = QRawFont::fromFont(f.window->font());
        for (QWidget* w : f.window->findChildren<QWidget*>()) {
            QString shown = w->property("text").toString();
            for (const char32_t c : shown.toUcs4())
                if (c != U'\n') QVERIFY2(font.supportsCharacter(c), qPrintable(w->objectName()));
        }
    }
};

QTEST_MAIN(WindowFontsTest)
#include "window_fonts_test.moc"
