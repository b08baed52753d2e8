// The window as it opens: controls, places, captions, states, tab order,
// size rules, font, colour and credits of both programs.

#include "tests/window/WindowTestSupport.h"

#include "shell/window/Captions.h"
#include "shell/window/WindowLook.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <png.h>
#include <zlib.h>

using namespace chipshift;
using namespace chipshift::test;

Q_DECLARE_METATYPE(chipshift::WindowVariant)

namespace {

struct Place {
    const char* name;
    const char* parent;
    QRect geometry;
};

// Every control's parent and place, the same in both programs.
const Place kPlaces[] = {
    {"rbFile", "frmMain", {16, 8, 153, 17}},
    {"gbFile", "frmMain", {8, 8, 617, 73}},
    {"txtLoad", "gbFile", {120, 24, 465, 20}},
    {"btnLoad", "gbFile", {589, 24, 20, 20}},
    {"txtSave", "gbFile", {120, 48, 465, 20}},
    {"btnSave", "gbFile", {589, 48, 20, 20}},
    {"rbFolder", "frmMain", {16, 88, 169, 17}},
    {"gbFolder", "frmMain", {8, 88, 617, 73}},
    {"txtFLoad", "gbFolder", {120, 24, 465, 20}},
    {"btnFLoad", "gbFolder", {592, 24, 20, 20}},
    {"txtFSave", "gbFolder", {120, 48, 465, 20}},
    {"btnFSave", "gbFolder", {592, 48, 20, 20}},
    {"btnStart", "frmMain", {464, 168, 81, 41}},
    {"btnFolStart", "frmMain", {464, 168, 81, 41}},
    {"btnCancel", "frmMain", {464, 168, 81, 41}},
    {"btnClose", "frmMain", {552, 168, 75, 41}},
    // The edits' labels: 3 pixels left of the edit, centred on it.
    {"lbl_txtLoad", "gbFile", {12, 28, 105, 12}},
    {"lbl_txtSave", "gbFile", {9, 52, 108, 12}},
    {"lbl_txtFLoad", "gbFolder", {10, 28, 107, 12}},
    {"lbl_txtFSave", "gbFolder", {9, 52, 108, 12}},
};

QStringList focusChain(TfrmMain& w, const QStringList& among) {
    QStringList chain;
    QWidget* start = w.btnStart;
    QWidget* current = start;
    do {
        if (among.contains(current->objectName())) chain << current->objectName();
        current = current->nextInFocusChain();
    } while (current != start);
    return chain;
}

}  // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void bothPrograms_data() {
        QTest::addColumn<WindowVariant>("variant");
        QTest::newRow("mapforge") << WindowVariant::MapForge;
        QTest::newRow("actorforge") << WindowVariant::ActorForge;
    }

    void initialStateAndPlaces_data() { bothPrograms_data(); }
    void initialStateAndPlaces() {
        QFETCH(WindowVariant, variant);
        WindowFixture f(variant);
        TfrmMain& w = *f.window;
        w.show();

        QCOMPARE(w.windowTitle(), titleOf(variant));
        QCOMPARE(w.size(), QSize(632, 215));
        for (const Place& p : kPlaces) {
            auto* control = w.findChild<QWidget*>(QString::fromLatin1(p.name));
            QVERIFY2(control, p.name);
            QCOMPARE(control->parentWidget()->objectName(), QString::fromLatin1(p.parent));
            QCOMPARE(control->geometry(), p.geometry);
        }
        QVERIFY(w.findChild<QFileDialog*>(QStringLiteral("od")) == w.od);
        QCOMPARE(w.lblCopy->pos(), QPoint(8, 168));
        QCOMPARE(w.lblNow->pos(), QPoint(8, 200));

        // File mode, empty fields, the idle caption in black.
        QVERIFY(w.rbFile->isChecked());
        QVERIFY(!w.rbFolder->isChecked());
        for (QWidget* c : {(QWidget*)w.txtLoad, (QWidget*)w.txtSave, (QWidget*)w.btnLoad, (QWidget*)w.btnSave})
            QVERIFY(c->isEnabled());
        for (QWidget* c : {(QWidget*)w.txtFLoad, (QWidget*)w.txtFSave, (QWidget*)w.btnFLoad, (QWidget*)w.btnFSave})
            QVERIFY(!c->isEnabled());
        for (QLineEdit* e : {w.txtLoad, w.txtSave, w.txtFLoad, w.txtFSave}) QVERIFY(e->text().isEmpty());
        QVERIFY(w.btnStart->isVisible());
        QVERIFY(!w.btnFolStart->isVisible());
        QVERIFY(!w.btnCancel->isVisible());
        QCOMPARE(w.lblNow->text(), QString::fromUtf8(caption::kIdle));
        QCOMPARE(w.lblNow->palette().color(QPalette::WindowText), QColor(0, 0, 0));

        // Captions with their access keys.
        QCOMPARE(w.rbFile->text(), QStringLiteral("一つのファイルを処理する"));
        QCOMPARE(w.rbFolder->text(), QStringLiteral("フォルダー内一括処理をする"));
        QCOMPARE(w.btnStart->text(), QStringLiteral("変換開始(&S)"));
        QCOMPARE(w.btnFolStart->text(), QStringLiteral("変換開始(&S)"));
        QCOMPARE(w.btnCancel->text(), QStringLiteral("中止(&C)"));
        QCOMPARE(w.btnClose->text(), QStringLiteral("終了(&Q)"));
        QCOMPARE(w.lblLoad->text(), QStringLiteral("変換元のファイル(&L):"));
        QCOMPARE(w.lblSave->text(), QStringLiteral("保存先のフォルダ(&S):"));
        QCOMPARE(w.lblFLoad->text(), QStringLiteral("変換元のフォルダ(&L):"));
        QCOMPARE(w.lblFSave->text(), QStringLiteral("保存先のフォルダ(&S):"));
        QCOMPARE(w.lblLoad->buddy(), w.txtLoad);
        QCOMPARE(w.lblSave->buddy(), w.txtSave);
        QCOMPARE(w.lblFLoad->buddy(), w.txtFLoad);
        QCOMPARE(w.lblFSave->buddy(), w.txtFSave);
        for (QPushButton* b : {w.btnLoad, w.btnSave, w.btnFLoad, w.btnFSave})
            QCOMPARE(b->text(), QStringLiteral("..."));
        QVERIFY(w.gbFile->title().isEmpty());
        QVERIFY(w.gbFolder->title().isEmpty());
    }

    void stackingOrder_data() { bothPrograms_data(); }
    void stackingOrder() {
        QFETCH(WindowVariant, variant);
        WindowFixture f(variant);
        TfrmMain& w = *f.window;
        const QObjectList& z = w.children();  // bottom to top
        QVERIFY(z.indexOf(w.btnStart) < z.indexOf(w.btnFolStart));
        QVERIFY(z.indexOf(w.btnFolStart) < z.indexOf(w.btnCancel));
        // The headings lie on the group boxes' top edges, above them.
        QVERIFY(z.indexOf(w.rbFile) > z.indexOf(w.gbFile));
        QVERIFY(z.indexOf(w.rbFolder) > z.indexOf(w.gbFolder));
        QCOMPARE(w.rbFile->y(), w.gbFile->y());
        QCOMPARE(w.rbFolder->y(), w.gbFolder->y());
        // Both radio buttons share a parent, so choosing one clears the other.
        w.rbFolder->click();
        QVERIFY(!w.rbFile->isChecked());
    }

    void tabOrder_data() {
        QTest::addColumn<WindowVariant>("variant");
        QTest::addColumn<QStringList>("order");
        const QStringList groups{"txtSave", "btnSave", "btnLoad", "txtLoad",
                                 "txtFSave", "txtFLoad", "btnFLoad", "btnFSave"};
        QTest::newRow("mapforge") << WindowVariant::MapForge
                                  << (QStringList{"btnStart", "btnClose", "rbFile", "rbFolder"} + groups +
                                      QStringList{"btnFolStart", "btnCancel"});
        QTest::newRow("actorforge") << WindowVariant::ActorForge
                                    << (QStringList{"btnStart", "btnClose"} + groups +
                                        QStringList{"rbFile", "rbFolder", "btnFolStart", "btnCancel"});
    }
    void tabOrder() {
        QFETCH(WindowVariant, variant);
        QFETCH(QStringList, order);
        WindowFixture f(variant);
        QCOMPARE(focusChain(*f.window, order), order);
    }

    void sizeRules() {
        WindowFixture map(WindowVariant::MapForge);
        QCOMPARE(map.window->minimumSize(), QSize(632, 215));
        QCOMPARE(map.window->maximumSize(), QSize(632, 215));
        const Qt::WindowFlags mapFlags = map.window->windowFlags();
        QVERIFY(mapFlags & Qt::WindowMinimizeButtonHint);
        QVERIFY(mapFlags & Qt::WindowSystemMenuHint);
        QVERIFY(!(mapFlags & Qt::WindowMaximizeButtonHint));

        WindowFixture actor(WindowVariant::ActorForge);
        TfrmMain& w = *actor.window;
        QVERIFY(w.windowFlags() & Qt::WindowMaximizeButtonHint);
        w.show();
        w.resize(900, 500);
        QCOMPARE(w.size(), QSize(900, 500));
        // The controls stay where they are.
        QCOMPARE(w.gbFile->geometry(), QRect(8, 8, 617, 73));
        QCOMPARE(w.btnClose->geometry(), QRect(552, 168, 75, 41));
        QCOMPARE(w.txtFSave->geometry(), QRect(120, 48, 465, 20));
    }

    void lookAndCredits() {
        WindowFixture f(WindowVariant::MapForge);
        TfrmMain& w = *f.window;
        QCOMPARE(w.font().pixelSize(), 12);
        QCOMPARE(w.font().families().value(0), QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(w.palette().color(QPalette::Window), w.palette().color(QPalette::Button));
        QVERIFY(!w.windowIcon().isNull());

        // Two lines naming the libraries this build runs with.
        const QStringList lines = w.lblCopy->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].contains(QStringLiteral("libpng ") + QString::fromLatin1(png_get_libpng_ver(nullptr))));
        QVERIFY(lines[1].contains(QStringLiteral("zlib ") + QString::fromLatin1(zlibVersion())));
        // Sized to its text, clear of the start button.
        QVERIFY(w.lblCopy->width() > 0);
        QVERIFY(w.lblCopy->geometry().right() < w.btnStart->x());
    }

    void fileDialogChoices() {
        WindowFixture f(WindowVariant::ActorForge);
        QFileDialog& od = *f.window->od;
        QCOMPARE(od.fileMode(), QFileDialog::ExistingFile);
        QVERIFY(od.testOption(QFileDialog::HideNameFilterDetails));
        // Qt shows each choice by the text before its pattern list.
        const QStringList shown{"対応しているﾌｧｲﾙ(*.bmp:*.png)", "Windowsﾋﾞｯﾄﾏｯﾌﾟ(*.bmp)",
                                "PortableNetworkGraphic(*.png)", "すべてのﾌｧｲﾙ(*.*)"};
        const QStringList patterns{"(*.bmp *.png)", "(*.bmp)", "(*.png)", "(*)"};
        QCOMPARE(od.nameFilters().size(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(od.nameFilters()[i], shown[i] + QLatin1Char(' ') + patterns[i]);
    }

    void modeSwitchKeepsTexts() {
        WindowFixture f(WindowVariant::MapForge);
        TfrmMain& w = *f.window;
        w.show();
        w.txtLoad->setText(QStringLiteral("/typed/a.png"));
        w.txtSave->setText(QStringLiteral("/typed/out"));

        w.rbFolder->click();
        QVERIFY(!w.txtLoad->isEnabled() && !w.btnLoad->isEnabled() && !w.txtSave->isEnabled() && !w.btnSave->isEnabled());
        QVERIFY(w.txtFLoad->isEnabled() && w.btnFLoad->isEnabled() && w.txtFSave->isEnabled() && w.btnFSave->isEnabled());
        QVERIFY(!w.btnStart->isVisible());
        QVERIFY(w.btnFolStart->isVisible());
        QVERIFY(!w.btnCancel->isVisible());
        w.txtFLoad->setText(QStringLiteral("/typed/in"));
        w.rbFolder->click();  // the mode already in force: nothing changes
        QVERIFY(w.btnFolStart->isVisible());

        w.rbFile->click();
        QCOMPARE(w.txtLoad->text(), QStringLiteral("/typed/a.png"));
        QCOMPARE(w.txtSave->text(), QStringLiteral("/typed/out"));
        QCOMPARE(w.txtFLoad->text(), QStringLiteral("/typed/in"));
        QVERIFY(w.txtLoad->isEnabled() && w.btnSave->isEnabled());
        QVERIFY(!w.txtFLoad->isEnabled());
        QVERIFY(w.btnStart->isVisible());
        QVERIFY(!w.btnFolStart->isVisible());
        QCOMPARE(w.lblNow->text(), QString::fromUtf8(caption::kIdle));
    }

    void accessKeysFocusTheirEdits() {
        WindowFixture f(WindowVariant::MapForge);
        TfrmMain& w = *f.window;
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_L, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), w.txtLoad);
        w.rbFolder->click();
        QTest::keyClick(&w, Qt::Key_L, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), w.txtFLoad);
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
