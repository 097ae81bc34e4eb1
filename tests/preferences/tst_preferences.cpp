// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The download preferences: the input-filtering fields, the weekly schedule
// grid (model and widget, pointer and keyboard), the search-site tab and its
// sheets, and the pane's loading and applying against the simulated NAS.
#include "RecordingAlertPresenter.h"
#include "TaskListScreen.h"

#include "api/CommandOverlay.h"
#include "api/Localization.h"
#include "preferences/PreferenceController.h"
#include "preferences/ScheduleGrid.h"
#include "preferences/SearchSiteAccountController.h"
#include "preferences/SearchSiteModel.h"
#include "preferences/ui/PreferenceViewController.h"
#include "preferences/ui/ScheduleMatrix.h"
#include "preferences/ui/SearchSiteAddViewController.h"
#include "preferences/ui/SearchSiteEditViewController.h"
#include "ui/CheckBoxHeaderView.h"
#include "ui/FilterTextField.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace flk;

namespace {
const QString kDigits = QStringLiteral("0123456789");

// Every cell's value, row by row (Sunday first).
QList<int> cells(const ScheduleGrid &g)
{
    QList<int> out;
    for (int r = 0; r < ScheduleGrid::kRows; ++r)
        for (int c = 0; c < ScheduleGrid::kColumns; ++c)
            out << g.value(r, c);
    return out;
}

// The cells a rectangle covers set to a type, the rest as before.
QList<int> paintedCopy(QList<int> before, int rowFrom, int rowTo, int colFrom, int colTo, int type)
{
    for (int r = rowFrom; r <= rowTo; ++r)
        for (int c = colFrom; c <= colTo; ++c)
            before[r * ScheduleGrid::kColumns + c] = type;
    return before;
}

QJsonObject site(const QString &name, bool enable, bool account, bool custom)
{
    return { { "name", name }, { "url", "https://" + name + ".example" }, { "version", "1.0" },
        { "enable", enable }, { "account_support", account }, { "custom", custom } };
}

void waitIdle(PaneController &c)
{
    QTRY_VERIFY_WITH_TIMEOUT(!c.overlay()->isShowing() && c.overlay()->isIdle(), 10000);
    waitForNetworkWork();
}

// A preference controller on a client signed in to its own simulated NAS.
struct PreferenceHarness : SignedInClient {
    PreferenceController pref;
    PreferenceHarness()
    {
        pref.setClientSource([this] { return client; });
        load();
        sim.server().clearLog();
    }
    ~PreferenceHarness() { waitIdle(pref); }
    void load()
    {
        QSignalSpy loaded(&pref, &PreferenceController::loaded);
        pref.load();
        QVERIFY(loaded.wait(5000));
        waitIdle(pref);
    }
    QStringList acts()
    {
        QStringList out;
        for (const QJsonObject &e : sim.server().requestLog())
            out << e.value("act").toString();
        return out;
    }
    QJsonObject prefOf(const QString &account)
    {
        return sim.state().preferences(account).value_or(QJsonObject());
    }
};
} // namespace

// A signed-in preferences pane, shown and loaded.
struct ShownPane {
    SignedInClient s;
    RecordingAlertPresenter alerts;
    PreferenceViewController pane { s.client };
    bool loaded = false;
    ShownPane()
    {
        QSignalSpy loadedSpy(pane.controller(), &PreferenceController::loaded);
        pane.show();
        loaded = loadedSpy.wait(5000);
        waitIdle(*pane.controller());
    }
};

class TestPreferences : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(installTranslations()); }
    void cleanup() { waitForNetworkWork(); }

    // ---- input-filtering fields ----------------------------------------------

    void filterRulesInTheirOrder()
    {
        InputFilter f;
        f.characterSet = kDigits;
        f.maxLength = 4;
        // A paste with one character outside the set is refused whole.
        QCOMPARE(f.check("12", 2, 0, "3a"), InputFilter::BadCharacter);
        // Deleting never breaks the character rule.
        QCOMPARE(f.check("12", 1, 1, ""), InputFilter::Accepted);
        // The length counts the replaced selection: "34" of "1234" by "567"
        // would be 5, by "56" is 4.
        QCOMPARE(f.check("1234", 2, 2, "567"), InputFilter::TooLong);
        QCOMPARE(f.check("1234", 2, 2, "56"), InputFilter::Accepted);
        // The character rule comes first.
        QCOMPARE(f.check("1234", 4, 0, "x"), InputFilter::BadCharacter);

        InputFilter port;
        port.characterSet = kDigits;
        port.maxValue = 999999;
        port.minValue = 1;
        QCOMPARE(port.check("100000", 6, 0, "0"), InputFilter::AboveMaximum);
        QCOMPARE(port.check("99999", 5, 0, "9"), InputFilter::Accepted);
        // The empty text counts as 0, below the minimum.
        QCOMPARE(port.check("7", 0, 1, ""), InputFilter::BelowMinimum);
        QCOMPARE(port.check("70", 1, 1, ""), InputFilter::Accepted);
        // A number too long for 64 bits is above any maximum, not wrapped.
        QCOMPARE(port.check("9", 1, 0, QString(30, '9')), InputFilter::AboveMaximum);

        InputFilter secure = port;
        secure.secure = true;
        secure.minValue = 0;
        QCOMPARE(secure.check("7", 0, 1, ""), InputFilter::Accepted);
        QCOMPARE(secure.check("999999", 6, 0, "9"), InputFilter::AboveMaximum);
    }

    void editInferredFromTexts()
    {
        qsizetype loc = -1, len = -1;
        QString rep;
        // Typing over a selection.
        InputFilter::editBetween("1234", "12567", 5, &loc, &len, &rep);
        QCOMPARE(loc, 2);
        QCOMPARE(len, 2);
        QCOMPARE(rep, QStringLiteral("567"));
        // A repeated character typed in a run: the cursor says where.
        InputFilter::editBetween("11", "111", 1, &loc, &len, &rep);
        QCOMPARE(loc, 0);
        QCOMPARE(len, 0);
        QCOMPARE(rep, QStringLiteral("1"));
        // Backspace at the end.
        InputFilter::editBetween("123", "12", 2, &loc, &len, &rep);
        QCOMPARE(loc, 2);
        QCOMPARE(len, 1);
        QVERIFY(rep.isEmpty());
    }

    void fieldRefusesSingleEdits()
    {
        FilterTextField port;
        port.set_Acceptable_CharacterSet(kDigits);
        port.set_Max_Value(999999);
        port.set_Min_Value(1);
        port.show();
        port.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&port));
        QSignalSpy refused(&port, &FilterTextField::editRefused);

        // 1000000 is refused at the seventh digit, with a cue.
        QTest::keyClicks(&port, "1000000");
        QCOMPARE(port.text(), QStringLiteral("100000"));
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused[0][0].value<InputFilter::Verdict>(), InputFilter::AboveMaximum);
        QVERIFY(port.refusalHint(InputFilter::AboveMaximum).contains("999999"));

        // Deleting the last digit is refused; the text stays.
        port.selectAll();
        QTest::keyClick(&port, Qt::Key_Delete);
        QCOMPARE(port.text(), QStringLiteral("100000"));
        port.setText("5");
        port.end(false);
        QTest::keyClick(&port, Qt::Key_Backspace);
        QCOMPARE(port.text(), QStringLiteral("5"));
        QCOMPARE(refused.last()[0].value<InputFilter::Verdict>(), InputFilter::BelowMinimum);

        // A paste with one bad character does nothing at all.
        QGuiApplication::clipboard()->setText("12a");
        port.end(false);
        port.paste();
        QCOMPARE(port.text(), QStringLiteral("5"));
        QCOMPARE(refused.last()[0].value<InputFilter::Verdict>(), InputFilter::BadCharacter);
        QGuiApplication::clipboard()->setText("12");
        port.paste();
        QCOMPARE(port.text(), QStringLiteral("512"));

        // Values the program shows are not edits: no rule, no cue.
        const qsizetype cues = refused.size();
        port.setValueText("0");
        QCOMPARE(port.text(), QStringLiteral("0"));
        QCOMPARE(refused.size(), cues);
        // The next edit starts from the shown text.
        port.end(false);
        QTest::keyClicks(&port, "7");
        QCOMPARE(port.text(), QStringLiteral("07"));
    }

    void secureFieldEmptiesAndKeepsLength()
    {
        FilterSecureTextField pwd;
        pwd.set_Max_Length(4);
        pwd.set_Min_Value(5); // no minimum in the secure form
        pwd.show();
        pwd.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&pwd));
        QCOMPARE(pwd.echoMode(), QLineEdit::Password);
        QTest::keyClicks(&pwd, "1234");
        // One edit of "34" by "567" would make 5 characters; by "56", 4.
        pwd.setSelection(2, 2);
        pwd.insert("567");
        QCOMPARE(pwd.text(), QStringLiteral("1234"));
        pwd.setSelection(2, 2);
        pwd.insert("56");
        QCOMPARE(pwd.text(), QStringLiteral("1256"));
        pwd.selectAll();
        QTest::keyClick(&pwd, Qt::Key_Backspace);
        QVERIFY(pwd.text().isEmpty());
    }

    // ---- the schedule grid -------------------------------------------------

    void dragPaintsTheSpannedRectangle()
    {
        QCOMPARE(ScheduleGrid::_get_Drag_Rect(3, 10, 1, 8), QRect(8, 1, 3, 3));
        QCOMPARE(ScheduleGrid::_get_Drag_Rect(1, 8, 3, 10), QRect(8, 1, 3, 3));
        QCOMPARE(ScheduleGrid::_get_Drag_Rect(2, 5, 2, 5), QRect(5, 2, 1, 1));

        // Monday 08:00 to Wednesday 10:00 with type 2, and every reversed form.
        const QList<QPair<QPoint, QPoint>> drags { { { 8, 1 }, { 10, 3 } }, { { 10, 3 }, { 8, 1 } },
            { { 10, 1 }, { 8, 3 } }, { { 8, 3 }, { 10, 1 } } };
        for (const auto &[from, to] : drags) {
            ScheduleGrid g;
            const QList<int> before = cells(g);
            g.set_Schedule_Type(ScheduleGrid::Stop);
            g.pressAt(from.y(), from.x());
            g.dragTo(to.y(), to.x());
            // Dragging only previews.
            QCOMPARE(cells(g), before);
            QVERIFY(g.previewContains(2, 9) && !g.previewContains(4, 9));
            g.releaseAt(to.y(), to.x());
            QVERIFY(!g.hasPreview());
            QCOMPARE(cells(g), paintedCopy(before, 1, 3, 8, 10, ScheduleGrid::Stop));
        }

        // A click without movement sets one cell.
        ScheduleGrid g;
        g.set_Schedule_Type(ScheduleGrid::SeedOnly);
        g.pressAt(6, 23);
        g.releaseAt(6, 23);
        QCOMPARE(g.value(6, 23), int(ScheduleGrid::SeedOnly));
        QCOMPARE(g.value(6, 22), int(ScheduleGrid::DefaultSpeed));

        // Off the grid: the last preview stays while dragging, the release
        // changes nothing, previewed cells included.
        const QList<int> before = cells(g);
        g.pressAt(0, 0);
        g.dragTo(2, 2);
        g.dragTo(-1, -1);
        QVERIFY(g.previewContains(2, 2));
        g.releaseAt(-1, 30);
        QCOMPARE(cells(g), before);
        QVERIFY(!g.hasPreview());
        // A press off the grid paints nothing either.
        g.pressAt(-1, -1);
        g.releaseAt(3, 3);
        QCOMPARE(cells(g), before);
    }

    void rowsColumnsAllAndForeignValues()
    {
        ScheduleGrid g;
        g.set_All_Schedule(ScheduleGrid::LimitSpeed);
        QCOMPARE(cells(g), QList<int>(168, ScheduleGrid::LimitSpeed));
        g.setRow(ScheduleGrid::Stop, 0);
        g.setColumn(ScheduleGrid::SeedOnly, 5);
        QCOMPARE(g.dayString(0), QStringLiteral("2,2,2,2,2,4,2,2,2,2,2,2,2,2,2,2,2,2,2,2,2,2,2,2"));
        QCOMPARE(g.value(6, 5), int(ScheduleGrid::SeedOnly));
        QCOMPARE(g.value(6, 6), int(ScheduleGrid::LimitSpeed));

        // A value the grid does not know is shown green and sent back as it came.
        QJsonObject record;
        for (int r = 0; r < 7; ++r) {
            QJsonArray day;
            for (int h = 0; h < 24; ++h)
                day.append(r == 2 && h == 3 ? 7 : 1);
            record.insert(QString::fromLatin1(ScheduleGrid::dayKey(r)), day);
        }
        g.fromRecord(record);
        QCOMPARE(g.value(2, 3), 7);
        QCOMPARE(g.dayString(2).split(',').value(3), QStringLiteral("7"));
        QCOMPARE(ScheduleMatrix::_get_Image(7), QStringLiteral("schedule_green_n"));
        QCOMPARE(ScheduleMatrix::_get_Highlight_Image(7), QStringLiteral("schedule_green_s"));
        QCOMPARE(ScheduleMatrix::_get_Image(3), QStringLiteral("schedule_gray_n"));
    }

    void keyboardPaintsWhatTheMouseWould()
    {
        ScheduleGrid mouse, keys;
        mouse.set_Schedule_Type(ScheduleGrid::Stop);
        mouse.pressAt(1, 8);
        mouse.releaseAt(3, 10);

        keys.setCursor(1, 8);
        keys.moveCursor(1, 0, true);
        keys.moveCursor(1, 0, true);
        keys.moveCursor(0, 2, true);
        QVERIFY(keys.keyboardContains(1, 8) && keys.keyboardContains(3, 10));
        keys.paintKeyboardRect(ScheduleGrid::Stop);
        QCOMPARE(cells(keys), cells(mouse));
        // A plain move leaves the rectangle for the cursor cell; the edges hold.
        keys.moveCursor(-10, 50, false);
        QCOMPARE(keys.cursor(), QPoint(23, 0));
        QVERIFY(keys.keyboardContains(0, 23) && !keys.keyboardContains(0, 22));
    }

    void weekShownInLocaleOrderStaysSundayFirst()
    {
        // A Monday-first week: Saturday and Sunday are the last two rows, and a
        // drag across them paints those two days only.
        ScheduleGrid g;
        g.setFirstDay(1);
        QCOMPARE(g.displayRow(0), 6);
        QCOMPARE(g.dataRow(0), 1);
        g.set_Schedule_Type(ScheduleGrid::Stop);
        g.pressAt(6, 0); // Saturday
        g.releaseAt(0, 1); // Sunday
        for (int r = 0; r < 7; ++r)
            QCOMPARE(g.value(r, 0), r == 0 || r == 6 ? 2 : 1);
        QCOMPARE(g.dayString(0).left(3), QStringLiteral("2,2"));
        // Down from Saturday goes to Sunday, as shown.
        g.setCursor(6, 5);
        g.moveCursor(1, 0, false);
        QCOMPARE(g.cursor(), QPoint(5, 0));
    }

    void matrixWidgetPaintsByMouseAndKeyboard()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ScheduleGrid grid;
        ScheduleMatrix m(&grid);
        m.resize(m.sizeHint());
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        m.set_Schedule_Type(ScheduleGrid::Stop);
        // One Tab stop: the grid itself; its header buttons take no focus.
        QCOMPARE(m.focusPolicy(), Qt::StrongFocus);
        for (QToolButton *b : m.findChildren<QToolButton *>())
            QCOMPARE(b->focusPolicy(), Qt::NoFocus);

        const QPoint mon8 = m.cellRect(1, 8).center(), wed10 = m.cellRect(3, 10).center();
        QCOMPARE(m.cellAt(mon8), QPoint(8, 1));
        QTest::mousePress(&m, Qt::LeftButton, {}, wed10);
        QTest::mouseMove(&m, m.cellRect(2, 9).center());
        QTest::mouseMove(&m, mon8);
        QVERIFY(grid.previewContains(3, 10) && grid.previewContains(1, 8));
        QCOMPARE(grid.value(2, 9), 1);
        QTest::mouseRelease(&m, Qt::LeftButton, {}, mon8);
        QCOMPARE(cells(grid), paintedCopy(QList<int>(168, 1), 1, 3, 8, 10, 2));
        QVERIFY(m.hasFocus());

        // Release off the grid (over the corner) changes nothing.
        const QList<int> before = cells(grid);
        QTest::mousePress(&m, Qt::LeftButton, {}, m.cellRect(5, 0).center());
        QTest::mouseMove(&m, m.cellRect(6, 3).center());
        QTest::mouseRelease(&m, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(cells(grid), before);

        // The keyboard: a cursor from Thursday 01:00, Shift+arrows, digit 4.
        grid.setCursor(4, 1);
        QTest::keyClick(&m, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&m, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&m, Qt::Key_4);
        QCOMPARE(cells(grid), paintedCopy(before, 4, 5, 1, 2, 4));
        // Space paints the chosen type at the moved cursor.
        QTest::keyClick(&m, Qt::Key_Left);
        QTest::keyClick(&m, Qt::Key_Space);
        QCOMPARE(grid.value(5, 1), 2);
        QCOMPARE(m.accessibleDescription(), m.cellAccessibleName(5, 1));
        QVERIFY(m.cellAccessibleName(1, 3).startsWith(QLocale().dayName(1)));
        QVERIFY(m.cellAccessibleName(1, 3).endsWith(ScheduleMatrix::typeName(1)));

        // Header buttons ask the pane to paint a row, a column, everything.
        QSignalSpy rows(&m, &ScheduleMatrix::rowButtonClicked);
        m.dayButton(3)->click();
        QCOMPARE(rows.value(0).value(0).toInt(), 3);

        // A disabled grid is a plain control.
        m.setEnabled(false);
        const QList<int> frozen = cells(grid);
        QTest::mouseClick(&m, Qt::LeftButton, {}, m.cellRect(0, 0).center());
        QCOMPARE(cells(grid), frozen);
        QLocale::setDefault(QLocale::c());
    }

    // ---- the search-site tab ----------------------------------------------

    void siteCheckBoxesAndHeader()
    {
        SearchSiteModel model;
        model.setSites({ site("a", false, false, false), site("b", false, true, true),
            site("c", false, false, true) });
        QVERIFY(!model.headerChecked());
        for (int r = 0; r < 3; ++r) {
            QVERIFY(!model.headerChecked());
            QVERIFY(model.setData(
                model.index(r, SearchSiteModel::ColEnable), Qt::Checked, Qt::CheckStateRole));
        }
        QVERIFY(model.headerChecked());
        model.setEnabled(1, false);
        QVERIFY(!model.headerChecked());
        QCOMPARE(model.data(model.index(1, SearchSiteModel::ColEnable), Qt::CheckStateRole)
                     .value<Qt::CheckState>(),
            Qt::Unchecked);
        // The header: on clears every row, again checks them all.
        model.setEnabled(1, true);
        model.toggleAll();
        QVERIFY(model.aryEnable().isEmpty());
        model.toggleAll();
        QCOMPARE(model.aryEnable(), (QSet<QString> { "a", "b", "c" }));
        // No sites: the header is not on.
        SearchSiteModel empty;
        QVERIFY(!empty.headerChecked());
    }

    void pluginChooserTakesDlmOnly()
    {
        QTemporaryDir dir;
        for (const char *name : { "one.dlm", "two.DLM", "three.dlm.zip", "four.txt" }) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("plugin");
        }
        QVERIFY(QDir(dir.path()).mkdir("sub.dlm"));
        QVERIFY(SearchSiteAccountController::acceptsPluginFile(QFileInfo(dir.filePath("one.dlm"))));
        QVERIFY(
            !SearchSiteAccountController::acceptsPluginFile(QFileInfo(dir.filePath("two.DLM"))));
        QVERIFY(!SearchSiteAccountController::acceptsPluginFile(
            QFileInfo(dir.filePath("three.dlm.zip"))));
        QVERIFY(
            !SearchSiteAccountController::acceptsPluginFile(QFileInfo(dir.filePath("four.txt"))));
        QVERIFY(SearchSiteAccountController::acceptsPluginFile(QFileInfo(dir.path())));
        QVERIFY(SearchSiteAccountController::acceptsPluginFile(QFileInfo(dir.filePath("sub.dlm"))));

        // The sheet's result is the chosen file; nothing chosen, no OK.
        SearchSiteAddViewController sheet;
        QVariant result;
        int code = -1;
        sheet.setCompletion([&](bool ok, const QVariant &r) {
            code = ok;
            result = r;
        });
        QVERIFY(!sheet.btnOk()->isEnabled());
        sheet.setChosenFile(dir.filePath("one.dlm"));
        QVERIFY(sheet.btnOk()->isEnabled());
        QCOMPARE(sheet.editPath()->text(), dir.filePath("one.dlm"));
        sheet.on_Ok();
        QCOMPARE(code, 1);
        QCOMPARE(result.toString(), dir.filePath("one.dlm"));
    }

    void siteCommandsFollowTheSelectedSite()
    {
        PreferenceHarness h;
        PreferenceController &p = h.pref;
        auto selectSite = [&](const QString &name) {
            for (int r = 0; r < p.sites()->rowCount(); ++r)
                if (p.sites()->name(r) == name)
                    p.siteSelection()->select(p.sites()->index(r, 0),
                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        };
        QVERIFY(!p.actEditSite()->isEnabled() && !p.actDeleteSite()->isEnabled());
        selectSite("openbay"); // built in, no account
        QVERIFY(!p.actEditSite()->isEnabled() && !p.actDeleteSite()->isEnabled());
        selectSite("privatehub"); // takes an account
        QVERIFY(p.actEditSite()->isEnabled() && !p.actDeleteSite()->isEnabled());

        // Adding a plug-in: uploaded, then the list again; the new site is
        // unchecked until the next load.
        QTemporaryDir dir;
        QFile f(dir.filePath("mysite.dlm"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<plugin/>");
        f.close();
        QSignalSpy done(&p, &PreferenceController::siteCommandFinished);
        p.addSite(f.fileName());
        QVERIFY(done.wait(5000));
        waitIdle(p);
        QCOMPARE(h.sim.server().requestsFor("torrent-add-search-engine").size(), 1);
        QCOMPARE(p.sites()->rowCount(), 4);
        QVERIFY(!p.sites()->aryEnable().contains("mysite"));

        // A refused upload (same plug-in again) is reported and fetches nothing.
        RecordingAlertPresenter alerts;
        alerts.answer = 0;
        h.client->setShowErrorAlert(true);
        h.sim.server().clearLog();
        p.addSite(f.fileName());
        QVERIFY(done.wait(5000));
        waitIdle(p);
        QCOMPARE(alerts.shown.size(), 1);
        QCOMPARE(alerts.shown[0].request.message, localized("ERROR_CGI_ADD_SEARCH_SITE"));
        QVERIFY(h.sim.server().requestsFor("torrent-search-site-list").isEmpty());

        // The user's plug-in can be deleted.
        selectSite("mysite");
        QVERIFY(p.actDeleteSite()->isEnabled() && !p.actEditSite()->isEnabled());
        p.actDeleteSite()->trigger();
        QVERIFY(done.wait(5000));
        waitIdle(p);
        QCOMPARE(h.lastForm("torrent-delete-search-engine").value("name").toString(),
            QStringLiteral("mysite"));
        QCOMPARE(p.sites()->rowCount(), 3);
    }

    void accountSheetSendsPasswordOnlyWhenTyped()
    {
        PreferenceHarness h;
        auto client = h.client;
        SearchSiteEditViewController sheet("privatehub", client);
        QVariantMap result;
        sheet.setCompletion([&](bool ok, const QVariant &r) {
            if (ok)
                result = r.toMap();
        });
        QSignalSpy loaded(sheet.controller(), &SearchSiteAccountController::accountLoaded);
        sheet.show();
        QVERIFY(loaded.wait(5000));
        waitIdle(*sheet.controller());
        QCOMPARE(sheet.editUsername()->text(), QStringLiteral("member"));
        QCOMPARE(sheet.editPassword()->text(), SearchSiteAccountController::kPasswordPlaceholder);
        QVERIFY(!sheet.controller()->bPwdChanged());
        QVERIFY(sheet.btnOk()->isEnabled());
        sheet.on_Ok();
        QCOMPARE(result, (QVariantMap { { "account", "member" } }));

        // The pane saves what the sheet gave: account only.
        QSignalSpy saved(&h.pref, &PreferenceController::siteCommandFinished);
        h.pref.saveAccount("privatehub", result);
        QVERIFY(saved.wait(5000));
        QCOMPARE(h.lastForm("torrent-set-search-engine"),
            (QJsonObject { { "name", "privatehub" }, { "account", "member" } }));

        // Typing a password sends it as typed; emptying a field disables OK.
        SearchSiteEditViewController again("privatehub", client);
        QSignalSpy loadedAgain(again.controller(), &SearchSiteAccountController::accountLoaded);
        again.show();
        QVERIFY(loadedAgain.wait(5000));
        waitIdle(*again.controller());
        again.editPassword()->setFocus();
        again.editPassword()->selectAll();
        QTest::keyClicks(again.editPassword(), "n3w");
        QVERIFY(again.controller()->bPwdChanged());
        QCOMPARE(again.controller()->result(),
            (QVariantMap { { "account", "member" }, { "pwd", "n3w" } }));
        again.editUsername()->selectAll();
        QTest::keyClick(again.editUsername(), Qt::Key_Backspace);
        QVERIFY(!again.btnOk()->isEnabled());
        QCOMPARE(again.controller()->result(), (QVariantMap { { "pwd", "n3w" } }));
    }

    void accountTestEndsInSuccessOnlyWhenAccepted()
    {
        SignedInClient s;
        RecordingAlertPresenter alerts;
        alerts.answer = 0;
        SearchSiteAccountController account("privatehub");
        account.setClientSource([&] { return s.client; });
        s.client->setShowErrorAlert(true);
        account.setStepSeconds(0);
        QStringList texts;
        QList<CommandOverlay::Indicator> indicators;
        connect(account.overlay(), &CommandOverlay::textChanged, this,
            [&](const QString &t) { texts << t; });
        connect(account.overlay(), &CommandOverlay::indicatorChanged, this,
            [&](CommandOverlay::Indicator i) { indicators << i; });
        QSignalSpy finished(&account, &SearchSiteAccountController::testFinished);

        // The saved account: its placeholder is never tested.
        QSignalSpy loaded(&account, &SearchSiteAccountController::accountLoaded);
        account.load();
        QVERIFY(loaded.wait(5000));
        waitIdle(account);
        QCOMPARE(account.username(), QStringLiteral("member"));
        QVERIFY(account.canOk());
        QVERIFY(!account.canTest());
        account.on_Test();
        QVERIFY(!account.overlay()->isShowing());

        // A refused password: the alert says so and the mark never shows.
        account.setPassword("wrong");
        QVERIFY(account.canTest());
        account.on_Test();
        QVERIFY(account.overlay()->isShowing());
        account.on_Test(); // dropped while the first runs
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toBool(), false);
        QVERIFY(!account.overlay()->isShowing());
        QVERIFY(!indicators.contains(CommandOverlay::Indicator::Success));
        QCOMPARE(texts, QStringList { localized("TXT_WAITING") });
        QCOMPARE(s.lastForm("torrent-test-search-engine-account"),
            (QJsonObject {
                { "name", "privatehub" }, { "account", "member" }, { "passwd", "wrong" } }));
        QCOMPARE(alerts.shown.size(), 1);
        QCOMPARE(alerts.shown[0].request.message, localized("ERROR_CGI_TEST_SEARCH_SITE_ACCOUNT"));

        // The right one: waiting, then the mark, then back to the spinner.
        account.setPassword("secret");
        account.on_Test();
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished[1][0].toBool(), true);
        QCOMPARE(texts, (QStringList { localized("TXT_WAITING"), localized("COMPLETE") }));
        QCOMPARE(indicators.value(indicators.size() - 2), CommandOverlay::Indicator::Success);
        QCOMPARE(account.overlay()->indicator(), CommandOverlay::Indicator::Spinner);
        QCOMPARE(alerts.shown.size(), 1);
    }

    // ---- the pane ------------------------------------------------------------

    void loadFillsEveryValue()
    {
        PreferenceHarness h;
        PreferenceController &p = h.pref;
        QVERIFY(p.dicPreference() && p.dicSchedule());
        QCOMPARE(p.value("maxActive").toString(), QStringLiteral("5"));
        QCOMPARE(p.value("port").toLongLong(), 6881);
        QCOMPARE(p.value("enableDHT").toBool(), true);
        QCOMPARE(p.value("defaultFolder").toString(), QStringLiteral("/Download"));
        QCOMPARE(p.value("tempFolder").toString(), QStringLiteral("/Download/.incomplete"));
        QCOMPARE(p.value("maxLimitDownloadSpeed").toLongLong(), 500);
        // The seeded week: weekdays stopped 8 to 18.
        QCOMPARE(p.schedule()->value(1, 8), int(ScheduleGrid::Stop));
        QCOMPARE(p.schedule()->value(0, 8), int(ScheduleGrid::DefaultSpeed));
        QCOMPARE(p.sites()->rowCount(), 3);
        QCOMPARE(p.sites()->aryEnable(), (QSet<QString> { "openbay", "linuxtracker" }));
        QVERIFY(!p.hasUnsavedChanges());

        // A failed read leaves no record and the values as they were.
        h.sim.state().clearPreferences("admin");
        p.setValue("port", 7000);
        h.load();
        QVERIFY(!p.dicPreference());
        QVERIFY(p.dicSchedule());
        QCOMPARE(p.value("port").toLongLong(), 7000);
    }

    void applySendsEverythingThenReloads()
    {
        PreferenceHarness h;
        PreferenceController &p = h.pref;
        QSignalSpy loaded(&p, &PreferenceController::loaded);
        p.apply(false);
        QVERIFY(loaded.wait(5000));
        waitIdle(p);
        QCOMPARE(h.acts(),
            (QStringList { "set-pref", "torrent-scheduler-set", "torrent-search-site-enable",
                "torrent-search-site-enable", "torrent-search-site-enable", "get-user-pref",
                "torrent-scheduler-get", "torrent-search-site-list" }));
        const QJsonObject pref = h.lastForm("set-pref");
        QCOMPARE(pref.size(), 22);
        QCOMPARE(pref.value("enable_guide").toString(), QStringLiteral("1"));
        QCOMPARE(pref.value("max_dl_number").toString(), QStringLiteral("5"));
        const QJsonObject sched = h.lastForm("torrent-scheduler-set");
        QCOMPARE(sched.value("enable_max_download_speed").toString(), QStringLiteral("1"));
        QCOMPARE(sched.value("mon").toString(),
            QStringLiteral("1,1,1,1,1,1,1,1,2,2,2,2,2,2,2,2,2,2,1,1,1,1,1,1"));
        // One request per site, in list order, changed or not.
        const auto enables = h.sim.server().requestsFor("torrent-search-site-enable");
        QStringList sent;
        for (const QJsonObject &e : enables)
            sent << e["form"]["name"].toString() + "=" + e["form"]["enable"].toString();
        QCOMPARE(sent, (QStringList { "openbay=1", "linuxtracker=1", "privatehub=0" }));

        // Edits reach the NAS: maxActive "12" as 12, the grid, a site.
        h.sim.server().clearLog();
        p.setValue("maxActive", QStringLiteral("12"));
        p.setValue("port", 51413);
        p.setScheduleType(ScheduleGrid::SeedOnly);
        p.schedule()->set_All_Schedule(p.scheduleType());
        p.sites()->setEnabled(2, true);
        QVERIFY(p.hasUnsavedChanges());
        p.apply(false);
        QVERIFY(loaded.wait(5000));
        waitIdle(p);
        QCOMPARE(h.lastForm("set-pref").value("max_dl_number").toString(), QStringLiteral("12"));
        QCOMPARE(h.prefOf("admin").value("max_dl_number").toInt(), 12);
        QCOMPARE(h.prefOf("admin").value("port").toInt(), 51413);
        QCOMPARE(p.schedule()->dayString(6), QStringList(24, "4").join(','));
        QCOMPARE(p.sites()->aryEnable().size(), 3);
        QVERIFY(!p.hasUnsavedChanges());
    }

    void failedStepDoesNotStopTheRest()
    {
        PreferenceHarness h;
        PreferenceController &p = h.pref;
        RecordingAlertPresenter alerts;
        alerts.answer = 0;
        h.client->setShowErrorAlert(true);
        // The NAS refuses a default folder that does not exist.
        p.setValue("defaultFolder", QStringLiteral("/nowhere"));
        QSignalSpy close(&p, &PreferenceController::closeRequested);
        QSignalSpy failed(&p, &PreferenceController::saveFailed);
        p.apply(true);
        QVERIFY(failed.wait(5000));
        waitIdle(p);
        QCOMPARE(alerts.shown.size(), 1);
        QCOMPARE(alerts.shown[0].request.message, localized("ERROR_CGI_SET_TORRENT_PREFERENCE"));
        // OK: the schedule and the sites still went; the sheet stays open
        // with what the NAS holds now.
        QCOMPARE(close.size(), 0);
        QCOMPARE(h.acts().mid(0, 5),
            (QStringList { "set-pref", "torrent-scheduler-set", "torrent-search-site-enable",
                "torrent-search-site-enable", "torrent-search-site-enable" }));
        QVERIFY(h.acts().contains("get-user-pref"));
        QCOMPARE(p.value("defaultFolder").toString(),
            h.prefOf("admin").value("default_dl_dir").toString());
    }

    // Nothing the screen did not read goes back to the NAS: members in
    // another shape go back as sent, missing ones are not sent, a section
    // that did not load is not sent at all, and days in another form stay.
    void saveSendsOnlyWhatWasRead()
    {
        PreferenceHarness h;
        PreferenceController &p = h.pref;
        QJsonObject odd = h.prefOf("admin");
        odd.insert("share_ratio", "150"); // a text where a number was expected
        odd.insert("enable_encryption", "yes");
        odd.remove("max_conn");
        h.sim.state().setPreferences("admin", odd);
        h.load();
        h.sim.server().clearLog();
        p.apply(false);
        QTRY_VERIFY(h.acts().contains("get-user-pref"));
        waitIdle(p);
        const QJsonObject sent = h.lastForm("set-pref");
        QCOMPARE(sent.value("share_ratio").toString(), QStringLiteral("150"));
        QCOMPARE(sent.value("enable_encryption").toString(), QStringLiteral("yes"));
        QVERIFY(!sent.contains("max_conn"));
        QCOMPARE(
            h.prefOf("admin").value("share_ratio").toVariant().toString(), QStringLiteral("150"));

        // A failed load: neither the preferences nor the schedule go.
        h.sim.server().applyControl("non_json", "2");
        h.load();
        QVERIFY(!p.preferenceLoaded() && !p.scheduleLoaded());
        h.sim.server().clearLog();
        p.apply(false);
        QTRY_VERIFY(h.acts().contains("torrent-search-site-list"));
        waitIdle(p);
        QVERIFY(!h.acts().contains("set-pref"));
        QVERIFY(!h.acts().contains("torrent-scheduler-set"));
    }

    void aSectionThatDidNotLoadIsDisabledWithRetry()
    {
        SignedInClient s;
        RecordingAlertPresenter alerts;
        s.sim.server().applyControl("non_json", "2"); // preferences and schedule
        PreferenceViewController pane(s.client);
        QSignalSpy loaded(pane.controller(), &PreferenceController::loaded);
        pane.show();
        QVERIFY(loaded.wait(5000));
        waitIdle(*pane.controller());
        QVERIFY(!pane.tabView()->widget(0)->isEnabled());
        auto *retry = pane.findChild<QPushButton *>("retry");
        QVERIFY(retry && retry->isVisible());
        retry->click();
        QVERIFY(loaded.wait(5000));
        waitIdle(*pane.controller());
        QVERIFY(pane.tabView()->widget(0)->isEnabled());
        QVERIFY(!retry->isVisible());
    }

    void paneForAnAdministrator()
    {
        ShownPane shown;
        QVERIFY(shown.loaded);
        auto &[s, alerts, pane, loaded] = shown;
        QCOMPARE(pane.tabView()->count(), 5);
        QVERIFY(pane.viewAdmin()->isVisibleTo(&pane));
        QCOMPARE(pane.numberField("port")->text(), QStringLiteral("6881"));
        QCOMPARE(pane.cmbMaxActive()->count(), 50);
        QCOMPARE(pane.cmbMaxActive()->currentText(), QStringLiteral("5"));
        // The fields write the controller's values.
        pane.cmbMaxActive()->setCurrentText("12");
        QCOMPARE(pane.controller()->value("maxActive").toString(), QStringLiteral("12"));
        pane.tabView()->setCurrentIndex(1);
        FilterTextField *port = pane.numberField("port");
        port->setFocus();
        port->end(false);
        QTest::keyClick(port, Qt::Key_Backspace);
        QCOMPARE(pane.controller()->value("port").toLongLong(), 688);
        // A port is at most 65535: the edit that would pass it is refused.
        QTest::keyClicks(port, "00");
        QCOMPARE(port->text(), QStringLiteral("6880"));
        QCOMPARE(pane.controller()->value("port").toLongLong(), 6880);
        // The schedule grid follows the automatic choice.
        QVERIFY(!pane.controller()->value("enableTorrentSchedule").toBool());
        QVERIFY(!pane.scheduleMatrix()->isEnabled());
        pane.rdoScheduleAuto()->click();
        QVERIFY(pane.controller()->value("enableTorrentSchedule").toBool());
        QVERIFY(pane.scheduleMatrix()->isEnabled());
        // The day buttons paint with the chosen type.
        pane.scheduleTypeButton(ScheduleGrid::LimitSpeed)->click();
        pane.scheduleMatrix()->dayButton(0)->click();
        QCOMPARE(pane.controller()->schedule()->dayString(0), QStringList(24, "3").join(','));
        QCOMPARE(pane.controller()->schedule()->value(1, 0), int(ScheduleGrid::DefaultSpeed));
        pane.scheduleMatrix()->allButton()->click();
        QCOMPARE(cells(*pane.controller()->schedule()), QList<int>(168, 3));

        // Cancel with edits asks first; keeping them leaves the pane open.
        alerts.answer = 1;
        pane.on_Cancel();
        QCOMPARE(alerts.shown.size(), 1);
        QCOMPARE(alerts.shown[0].request.message, localized("PREFER_DISCARD_CHANGES"));
        QVERIFY(pane.isVisible());
        alerts.answer = 0;
        pane.on_Cancel();
        QTRY_VERIFY(!pane.isVisible());
        QVERIFY(s.sim.server().requestsFor("set-pref").isEmpty());
    }

    void applySaysSaved()
    {
        ShownPane shown;
        QVERIFY(shown.loaded);
        auto &[s, alerts, pane, loaded] = shown;
        auto *savedText = pane.findChild<QLabel *>("textSaved");
        QVERIFY(savedText && !savedText->isVisible());
        pane.numberField("port")->setText("7001");
        QSignalSpy saved(pane.controller(), &PreferenceController::saved);
        pane.on_Apply();
        QVERIFY(saved.wait(5000));
        QVERIFY(savedText->isVisible());
        QCOMPARE(s.lastForm("set-pref").value("port").toString(), QStringLiteral("7001"));
        waitIdle(*pane.controller());
    }

    void paneWithoutEditsClosesAtOnce()
    {
        ShownPane shown;
        QVERIFY(shown.loaded);
        auto &[s, alerts, pane, loaded] = shown;
        // Touching a field and putting it back is no edit.
        pane.checkBox("enableDHT")->toggle();
        pane.checkBox("enableDHT")->toggle();
        pane.on_Cancel();
        QTRY_VERIFY(!pane.isVisible());
        QVERIFY(alerts.shown.isEmpty());
    }

    void paneForAnotherAccount()
    {
        SignedInClient admin;
        // A second account, not an administrator, with settings of its own.
        admin.sim.state().setPreferences("guest", nassim::NasState::defaultPreferences("/Public"));
        auto guest = std::make_shared<CgiCtrl>();
        guest->setDelegate(&admin.rules);
        const QString server = admin.sim.http();
        QVERIFY(onWorker([&] {
            Error e;
            return guest->login_Server(server, "guest", "guest", false, &e).has_value();
        }));
        QVERIFY(!guest->administrator());

        RecordingAlertPresenter alerts;
        alerts.answer = 0;
        {
            PreferenceViewController pane(guest);
            QSignalSpy loaded(pane.controller(), &PreferenceController::loaded);
            pane.show();
            QVERIFY(loaded.wait(5000));
            waitIdle(*pane.controller());
            QCOMPARE(pane.tabView()->count(), 2);
            QCOMPARE(pane.tabView()->tabText(0), localized("PREFER_TAB_GENERAL"));
            QCOMPARE(pane.tabView()->tabText(1), localized("PREFER_TAB_SEARCH_SITE"));
            QVERIFY(!pane.viewAdmin()->isVisibleTo(&pane));
            QVERIFY(!pane.btnDeleteSearchSite()->isVisibleTo(&pane));

            // Apply still sends the whole record, hidden values as read.
            admin.sim.server().clearLog();
            pane.checkBox("enableAutoRemove")->setChecked(true);
            QSignalSpy again(pane.controller(), &PreferenceController::loaded);
            pane.on_Apply();
            QVERIFY(again.wait(5000));
            waitIdle(*pane.controller());
            const QJsonObject form = admin.lastForm("set-pref");
            QCOMPARE(form.size(), 22);
            QCOMPARE(form.value("port").toString(), QStringLiteral("6881"));
            QCOMPARE(form.value("default_dl_dir").toString(), QStringLiteral("/Public"));
        }
        QVERIFY(alerts.shown.isEmpty());
        QVERIFY(admin.sim.state().preferences("guest")->value("enable_auto_remove").toBool());

        // The unit keeps its service-wide settings and plug-ins from others.
        QVERIFY(onWorker([&] {
            Error e;
            QJsonObject record = *admin.sim.state().preferences("guest");
            record.insert("port", 7777);
            record.insert("watch_dir", "/Public/in");
            return guest->set_User_Preference(record, &e);
        }));
        QCOMPARE(admin.sim.state().preferences("guest")->value("port").toInt(), 6881);
        QCOMPARE(admin.sim.state().preferences("guest")->value("watch_dir").toString(),
            QStringLiteral("/Public/in"));
        Error refused;
        QVERIFY(!onWorker([&] { return guest->delete_Search_Site("openbay", &refused); }));
        QCOMPARE(refused.code, 5325);
        waitForNetworkWork();
    }

    void siteMenusFollowTheRules()
    {
        SignedInClient s;
        PreferenceViewController pane(s.client);
        QSignalSpy loaded(pane.controller(), &PreferenceController::loaded);
        pane.show();
        QVERIFY(loaded.wait(5000));
        waitIdle(*pane.controller());
        PreferenceController *p = pane.controller();
        // The header check box mirrors the pending set.
        QVERIFY(!pane.siteHeader()->isChecked());
        p->sites()->setEnabled(2, true);
        QVERIFY(pane.siteHeader()->isChecked());
        emit pane.siteHeader()->checkBoxClicked(true);
        QVERIFY(p->sites()->aryEnable().isEmpty());
        QVERIFY(!pane.siteHeader()->isChecked());

        // The row menu shows edit only for sites with accounts.
        p->siteSelection()->select(p->sites()->index(0, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        const QList<QAction *> items = pane.menuSearchSite()->actions();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0]->text(), localized("TOOL_TIP_EDIT"));
        QCOMPARE(items[1]->text(), localized("TOOL_TIP_DELETE"));
        QMetaObject::invokeMethod(pane.menuSearchSite(), "aboutToShow");
        QVERIFY(!items[0]->isVisible() && !items[1]->isVisible());
        QMetaObject::invokeMethod(pane.menuSearchSite(), "aboutToHide");
        QVERIFY(!pane.btnEditSearchSite()->isEnabled());

        // The column chooser: one item per optional column.
        const QList<QAction *> columns = pane.menuSearchSiteHeader()->actions();
        QCOMPARE(columns.size(), 3);
        columns[1]->trigger();
        QVERIFY(pane.siteTable()->isColumnHidden(SearchSiteModel::ColUrl));
        columns[1]->trigger();
        QVERIFY(!pane.siteTable()->isColumnHidden(SearchSiteModel::ColUrl));

        // A header click sorts on the client.
        pane.siteHeader()->sectionClicked(SearchSiteModel::ColName);
        QCOMPARE(p->siteSortKey(), QStringLiteral("name"));
        QCOMPARE(p->sites()->name(0), QStringLiteral("linuxtracker"));
        pane.siteHeader()->sectionClicked(SearchSiteModel::ColName);
        QCOMPARE(p->siteOrder(), QStringLiteral("desc"));
        QCOMPARE(p->sites()->name(0), QStringLiteral("privatehub"));
    }
};

QTEST_MAIN(TestPreferences)
#include "tst_preferences.moc"
