// The start buttons and the runs behind them: messages, the running state of
// a batch, its cancel button served between files, closing during a batch,
// and errors that end a run.

#include "tests/window/WindowTestSupport.h"

#include "shell/Messages.h"
#include "tests/support/TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace chipshift;
using namespace chipshift::test;

Q_DECLARE_METATYPE(chipshift::WindowVariant)

namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

// What the window showed while the converter was working on an entry.
struct Seen {
    QString status;
    QColor colour;
    bool folStartEnabled = true;
    bool cancelVisible = false;
};

Seen look(const TfrmMain& w) {
    return {w.lblNow->text(), w.lblNow->palette().color(QPalette::WindowText),
            w.btnFolStart->isEnabled(), w.btnCancel->isVisible()};
}

void expectIdle(const TfrmMain& w) {
    QVERIFY(w.btnFolStart->isEnabled());
    QVERIFY(!w.btnCancel->isVisible());
    QCOMPARE(w.lblNow->palette().color(QPalette::WindowText), QColor(0, 0, 0));
}

}  // namespace

class WindowRunsTest : public QObject {
    Q_OBJECT

private slots:
    void startWithEmptyFields_data() {
        QTest::addColumn<WindowVariant>("variant");
        QTest::newRow("mapforge") << WindowVariant::MapForge;
        QTest::newRow("actorforge") << WindowVariant::ActorForge;
    }
    void startWithEmptyFields() {
        QFETCH(WindowVariant, variant);
        WindowFixture f(variant);
        f.window->show();
        QTest::mouseClick(f.window->btnStart, Qt::LeftButton);
        QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(f.dialogs.messages[0].text, text(msg::kNoFile));
        QCOMPARE(f.dialogs.messages[0].title, titleOf(variant));
        QVERIFY(f.dialogs.errors.empty());
    }

    void singleFileRunCompletes() {
        TempDir in, out;
        writeSheet(in / "a.bmp", 8, 256);
        WindowFixture f(WindowVariant::MapForge);
        std::vector<std::string> converted;
        convertHook = [&](const std::string& source) { converted.push_back(source); };
        f.window->txtLoad->setText(QString::fromStdString(in / "a.bmp"));
        f.window->txtSave->setText(QString::fromStdString(out.path()));
        f.window->btnStart->click();
        QCOMPARE(converted, std::vector<std::string>{in / "a.bmp"});
        QCOMPARE(f.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(f.dialogs.messages[0].text, text(msg::kDone));
    }

    void batchCancelledWhileServingEvents() {
        TempDir in, out;
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) writeSheet(in / name, 8, 256);
        WindowFixture f(WindowVariant::MapForge);
        TfrmMain& w = *f.window;
        w.show();
        w.rbFolder->click();
        w.txtFLoad->setText(QString::fromStdString(in.path()));
        w.txtFSave->setText(QString::fromStdString(out.path()));
        w.cancelRequest = 1;  // left from before: the run clears it

        std::vector<Seen> seen;
        convertHook = [&](const std::string&) {
            seen.push_back(look(w));
            // A click on the cancel button, served at the run's next pump.
            if (seen.size() == 1) QTimer::singleShot(0, w.btnCancel, &QPushButton::click);
        };
        w.btnFolStart->click();

        QCOMPARE(seen.size(), std::size_t(1));
        QCOMPARE(seen[0].status, text(msg::kBatchRunning) + "0/3");
        QCOMPARE(seen[0].colour, QColor(255, 0, 0));
        QVERIFY(!seen[0].folStartEnabled);
        QVERIFY(seen[0].cancelVisible);

        expectIdle(w);
        QCOMPARE(w.lblNow->text(), text(msg::kBatchDone));
        QCOMPARE(w.cancelRequest, 1);
        QVERIFY(f.dialogs.messages.empty());
        QVERIFY(f.dialogs.errors.empty());
    }

    void closeDuringBatchWaitsForTheRun() {
        TempDir in, out;
        for (const char* name : {"a.bmp", "b.bmp"}) writeSheet(in / name, 8, 256);
        WindowFixture f(WindowVariant::ActorForge);
        TfrmMain& w = *f.window;
        w.show();
        w.rbFolder->click();
        w.txtFLoad->setText(QString::fromStdString(in.path()));
        w.txtFSave->setText(QString::fromStdString(out.path()));
        int converted = 0;
        bool visibleDuringRun = true;
        convertHook = [&](const std::string&) {
            ++converted;
            visibleDuringRun = visibleDuringRun && w.isVisible();
            if (converted == 1) QTimer::singleShot(0, w.btnClose, &QPushButton::click);
        };
        w.btnFolStart->click();
        QCOMPARE(converted, 2);
        QVERIFY(visibleDuringRun);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.lblNow->text(), text(msg::kBatchDone));
    }

    void errorEndsTheRunAndTheWindowStays() {
        TempDir in, out;
        writeSheet(in / "a.bmp", 8, 256);
        writeFile(in / "b.bmp", {'B', 'M', 0, 1, 2});  // not a bitmap
        WindowFixture f(WindowVariant::ActorForge);
        TfrmMain& w = *f.window;
        w.show();
        int converted = 0;
        convertHook = [&](const std::string&) { ++converted; };

        // The batch: the error box names the entry; the controls are idle
        // again and the caption keeps the count of the entry at fault.
        w.rbFolder->click();
        w.txtFLoad->setText(QString::fromStdString(in.path()));
        w.txtFSave->setText(QString::fromStdString(out.path()));
        w.btnFolStart->click();
        QCOMPARE(converted, 1);
        QCOMPARE(f.dialogs.errors.size(), std::size_t(1));
        QVERIFY(f.dialogs.errors[0].text.contains(QString::fromStdString(in / "b.bmp")));
        QCOMPARE(f.dialogs.errors[0].title, titleOf(WindowVariant::ActorForge));
        QVERIFY(f.dialogs.messages.empty());
        QVERIFY(w.isVisible());
        expectIdle(w);
        QCOMPARE(w.lblNow->text(), text(msg::kBatchRunning) + "1/2");

        // The single-file run: the same box, no completion message.
        w.rbFile->click();
        w.txtLoad->setText(QString::fromStdString(in / "b.bmp"));
        w.txtSave->setText(QString::fromStdString(out.path()));
        w.btnStart->click();
        QCOMPARE(f.dialogs.errors.size(), std::size_t(2));
        QVERIFY(f.dialogs.messages.empty());
        QVERIFY(w.isVisible());
        QCOMPARE(converted, 1);
    }
};

QTEST_MAIN(WindowRunsTest)
#include "window_runs_test.moc"
