// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The GUI's alert presenter: a window-modal message box reporting its button.
#include "api/Localization.h"
#include "models/DisplayText.h"
#include "ui/MessageBoxAlertPresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

using namespace flk;

class TestAlertPresenter : public QObject
{
    Q_OBJECT

private slots:
    void showsWindowModalBoxAndReportsButton_data()
    {
        QTest::addColumn<int>("press");
        QTest::newRow("affirmative") << 0;
        QTest::newRow("negative") << 1;
    }
    void showsWindowModalBoxAndReportsButton()
    {
        QFETCH(int, press);
        QWidget window;
        window.resize(400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QApplication::setActiveWindow(&window);

        MessageBoxAlertPresenter presenter;
        int answered = -2;
        AlertRequest request;
        request.title = QStringLiteral("Error");
        request.message = QStringLiteral("The connection was lost.");
        request.buttons = QStringList { QStringLiteral("Yes"), QStringLiteral("No") };
        request.style = AlertRequest::Informational;
        request.server = QStringLiteral("nas-one");
        presenter.present(request, [&](int b) { answered = b; });
        QMessageBox *box = window.findChild<QMessageBox *>();
        QVERIFY(box);
        QCOMPARE(box->windowModality(), Qt::WindowModal);
        QCOMPARE(box->text(), QStringLiteral("The connection was lost."));
        QCOMPARE(box->textFormat(), Qt::PlainText); // the NAS's texts are no markup
        // An alert about one saved server says which.
        QCOMPARE(box->windowTitle(),
            stringWithKSTFormat(localized("ALERT_ABOUT_SERVER"), { "Error", "nas-one" }));
        QCOMPARE(box->icon(), QMessageBox::Information);
        const auto buttons = box->buttons();
        QCOMPARE(buttons.size(), 2);
        QAbstractButton *target = nullptr;
        for (QAbstractButton *b : buttons)
            if (b->text() == (press == 0 ? "Yes" : "No"))
                target = b;
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton);
        QTRY_COMPARE(answered, press);
    }

    void longNamesAreShortenedInTheMiddle()
    {
        const QString name = "Sintel." + QString(1024 * 1024, 'x') + ".mkv";
        const QString shown
            = MessageBoxAlertPresenter::capLongRuns("Delete " + name + " from the list?");
        QVERIFY(shown.size() < 400);
        QVERIFY(shown.startsWith("Delete Sintel.xx"));
        QVERIFY(shown.endsWith("xx.mkv from the list?"));
        QVERIFY(shown.contains(QChar(0x2026)));
        const QString plain = "The connection to the NAS was lost. Connect again?";
        QCOMPARE(MessageBoxAlertPresenter::capLongRuns(plain), plain);
        QVERIFY(MessageBoxAlertPresenter::capLongRuns(QString(200000, ' ') + "x").size() < 5000);
    }

    void directionControlsFromOutsideAreIsolated()
    {
        // An override would show "evil\u202Egpj.exe" as "evilexe.jpg" and spill
        // into the sentence; shown, the controls are dropped and the name is
        // isolated from its surroundings.
        const QString name = QString::fromUtf8("evil\u202Egpj.exe");
        const QString fsi(QChar(0x2068)), pdi(QChar(0x2069));
        QCOMPARE(isolateBidi(name), fsi + "evilgpj.exe" + pdi);
        QCOMPARE(capForDisplay(name), fsi + "evilgpj.exe" + pdi);
        QCOMPARE(isolateBidi(QString::fromUtf8("\u2067a\u202Bb\u202C\u2069")), fsi + "ab" + pdi);
        // Right-to-left scripts and plain texts are left alone.
        const QString hebrew = QString::fromUtf8("\u05E9\u05DC\u05D5\u05DD.torrent");
        QCOMPARE(capForDisplay(hebrew), hebrew);
        QCOMPARE(isolateBidi("plain"), QStringLiteral("plain"));
        // A capped text keeps its ellipsis outside the isolate.
        const QString longName = QChar(0x202E) + QString(2 * kMaxDisplayChars, 'x');
        QVERIFY(capForDisplay(longName).endsWith(pdi + QChar(0x2026)));

        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QApplication::setActiveWindow(&window);
        MessageBoxAlertPresenter presenter;
        AlertRequest request;
        request.title = QStringLiteral("Delete");
        request.message = "Delete " + name + "?";
        request.buttons = QStringList { QStringLiteral("OK") };
        presenter.present(request, {});
        QMessageBox *box = window.findChild<QMessageBox *>();
        QVERIFY(box);
        QVERIFY(!box->text().contains(QChar(0x202E)));
        QVERIFY(box->text().contains("evilgpj.exe"));
        box->close();
    }

    void longSentencesAreBrokenIntoLines()
    {
        const QString sentence = "The filter “Open Source Weekly 1080p” has changes that are not "
                                 "saved. Save them before going on?";
        const QString wrapped = MessageBoxAlertPresenter::wrapLines(sentence, 64);
        QCOMPARE(QString(wrapped).replace('\n', ' '), sentence); // only blanks became breaks
        for (const QString &line : wrapped.split('\n'))
            QVERIFY2(line.size() <= 64, qPrintable(line));
        QVERIFY(wrapped.contains('\n'));
        QCOMPARE(MessageBoxAlertPresenter::wrapLines("short"), QStringLiteral("short"));
        // A run without blanks is left whole.
        const QString run(100, 'x');
        QCOMPARE(MessageBoxAlertPresenter::wrapLines(run, 64), run);
    }

    void escapeCountsAsNegative()
    {
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MessageBoxAlertPresenter presenter;
        int answered = -2;
        AlertRequest request;
        request.title = QStringLiteral("Error");
        request.message = QStringLiteral("x");
        request.buttons = QStringList { QStringLiteral("Yes"), QStringLiteral("No") };
        request.style = AlertRequest::Informational;
        request.parentWindow = &window;
        presenter.present(request, [&](int b) { answered = b; });
        QMessageBox *box = window.findChild<QMessageBox *>();
        QVERIFY(box);
        box->reject();
        QTRY_VERIFY(answered != -2);
        QVERIFY(answered != 0);
    }
};

QTEST_MAIN(TestAlertPresenter)
#include "tst_alertpresenter.moc"
