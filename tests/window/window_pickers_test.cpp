// The file dialog, the three folder pickers and drops, answered by the test.

#include "tests/window/WindowTestSupport.h"

#include "shell/Messages.h"
#include "tests/support/TestSupport.h"

#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QUrl>

using namespace chipshift;
using namespace chipshift::test;

Q_DECLARE_METATYPE(std::optional<std::string>)

namespace {

const QString kRefused = QString::fromUtf8(msg::kNotBmpOrPng);

// A drag entering the control under the cursor and dropped there, as the
// platform delivers it.
void drop(const QString& path, QWidget* onto) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = onto->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(onto, &enter);
    QDropEvent dropped(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(onto, &dropped);
}

}  // namespace

class WindowPickersTest : public QObject {
    Q_OBJECT

private slots:
    void sourceFileDialog_data() {
        QTest::addColumn<std::optional<std::string>>("answer");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("message");
        QTest::newRow("png") << std::optional<std::string>("/pics/town.png") << "/pics/town.png" << "";
        QTest::newRow("bmp") << std::optional<std::string>("/pics/a.b.bmp") << "/pics/a.b.bmp" << "";
        QTest::newRow("upper-case extension") << std::optional<std::string>("/pics/TILE.BMP") << "/old.png" << kRefused;
        QTest::newRow("gif") << std::optional<std::string>("/pics/a.gif") << "/old.png" << kRefused;
        QTest::newRow("dot in a folder only") << std::optional<std::string>("/pics.png/a") << "/old.png" << kRefused;
        QTest::newRow("cancelled") << std::optional<std::string>() << "/old.png" << "";
    }
    void sourceFileDialog() {
        QFETCH(std::optional<std::string>, answer);
        QFETCH(QString, field);
        QFETCH(QString, message);
        WindowFixture f(WindowVariant::MapForge);
        TfrmMain& w = *f.window;
        w.txtLoad->setText(QStringLiteral("/old.png"));
        f.dialogs.fileAnswers.push_back(answer);
        w.od->selectNameFilter(w.od->nameFilters().value(3));  // left over from an earlier opening
        w.btnLoad->click();

        QCOMPARE(f.dialogs.fileDialogOpenings, 1);
        QCOMPARE(f.dialogs.openedFilters.size(), 4);
        QCOMPARE(f.dialogs.openedSelectedFilter, QStringLiteral("対応しているﾌｧｲﾙ(*.bmp:*.png)"));
        QCOMPARE(w.txtLoad->text(), field);
        if (message.isEmpty()) {
            QVERIFY(f.dialogs.messages.empty());
        } else {
            QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
            QCOMPARE(f.dialogs.messages[0].text, message);
            QCOMPARE(f.dialogs.messages[0].title, titleOf(WindowVariant::MapForge));
        }
        QVERIFY(f.dialogs.errors.empty());
    }

    void folderPickers_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("folderMode");
        QTest::newRow("btnSave") << "btnSave" << "txtSave" << false;
        QTest::newRow("btnFLoad") << "btnFLoad" << "txtFLoad" << true;
        QTest::newRow("btnFSave") << "btnFSave" << "txtFSave" << true;
    }
    void folderPickers() {
        QFETCH(QString, button);
        QFETCH(QString, field);
        QFETCH(bool, folderMode);
        TempDir dir;
        WindowFixture f(WindowVariant::ActorForge);
        TfrmMain& w = *f.window;
        if (folderMode) w.rbFolder->click();
        auto* picker = w.findChild<QPushButton*>(button);
        auto* edit = w.findChild<QLineEdit*>(field);
        const QString chosen = QString::fromStdString(dir.path());

        f.dialogs.folderAnswers = {dir.path(), dir / "missing", "", dir / "file.png"};
        writeFile(dir / "file.png", {1});
        picker->click();  // an existing folder is taken
        QCOMPARE(edit->text(), chosen);
        picker->click();  // a folder that does not exist is not
        picker->click();  // nor is a cancelled browser
        picker->click();  // nor a file
        QCOMPARE(edit->text(), chosen);
        QCOMPARE(f.dialogs.folderBrowserOpenings, 4);
        QVERIFY(f.dialogs.messages.empty());
    }

    void drops() {
        TempDir dir;
        writeFile(dir / "town.png", {1});
        writeFile(dir / "town.gif", {1});
        WindowFixture f(WindowVariant::MapForge);
        TfrmMain& w = *f.window;
        w.show();
        const QString folder = QString::fromStdString(dir.path());

        // File mode: a file anywhere on the window goes into txtLoad, checked
        // like the file dialog's choice.
        drop(folder + "/town.png", w.btnClose);
        QCOMPARE(w.txtLoad->text(), folder + "/town.png");
        drop(folder + "/town.gif", w.txtLoad);
        QCOMPARE(w.txtLoad->text(), folder + "/town.png");
        QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(f.dialogs.messages[0].text, kRefused);

        // A folder goes into the enabled folder field it lands on.
        drop(folder, w.txtSave);
        QCOMPARE(w.txtSave->text(), folder);
        drop(folder, w.txtFSave);  // disabled in file mode
        QVERIFY(w.txtFSave->text().isEmpty());
        drop(folder, w.txtLoad);  // not a folder field
        QCOMPARE(w.txtLoad->text(), folder + "/town.png");

        w.rbFolder->click();
        drop(folder, w.txtFLoad);
        QCOMPARE(w.txtFLoad->text(), folder);
        drop(folder + "/town.png", w.txtFSave);  // files are for file mode only
        QVERIFY(w.txtFSave->text().isEmpty());
        QCOMPARE(w.txtLoad->text(), folder + "/town.png");
    }
};

QTEST_MAIN(WindowPickersTest)
#include "window_pickers_test.moc"
