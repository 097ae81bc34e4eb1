// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Which text, buttons and sign-in codes each error leads to.
#include "api/CgiErrorRules.h"
#include "api/CgiOperations.h"
#include "api/Localization.h"

#include <QtTest>

using namespace flk;

namespace {
Error cgi(int function, int code)
{
    return Error(kCgiErrorDomain, code, { { "cgi_id", function } });
}
QString key(const char *k)
{
    return k ? QString::fromLatin1(k) : QString();
}
} // namespace

class TestErrorRules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(installTranslations()); }

    void messageKey_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("key");
        QTest::newRow("already added") << 13 << 5019 << "ERROR_CGI_TORRENT_ALREADY_ADD";
        QTest::newRow("invalid torrent") << 13 << 5041 << "ERROR_CGI_TORRENT_INVALID";
        QTest::newRow("other add failure") << 13 << 5100 << "ERROR_CGI_ADD_TORRENT";
        QTest::newRow("url ignored") << 12 << 5040 << "";
        QTest::newRow("url failure") << 12 << 5100 << "ERROR_CGI_ADD_TORRENT_URL";
        QTest::newRow("no preferences") << 19 << 5005 << "";
        QTest::newRow("preferences failure") << 19 << 5100 << "ERROR_CGI_GET_TORRENT_PREFERENCE";
        QTest::newRow("start") << 16 << 5100 << "ERROR_CGI_START_TORRENT";
        QTest::newRow("set-pref") << 20 << 1 << "ERROR_CGI_SET_TORRENT_PREFERENCE";
        QTest::newRow("scheduler-set") << 22 << 1 << "ERROR_CGI_SET_TORRENT_PREFERENCE";
        QTest::newRow("search-site-enable") << 36 << 1 << "ERROR_CGI_SET_TORRENT_PREFERENCE";
        QTest::newRow("rss-feed-edit") << 44 << 1 << "ERROR_CGI_SET_TORRENT_PREFERENCE";
        QTest::newRow("rss-filter-edit") << 50 << 1 << "ERROR_CGI_SET_TORRENT_PREFERENCE";
        QTest::newRow("createdir") << 53 << 1 << "ERROR_CGI_CREATE_FOLDER";
        QTest::newRow("get_tree") << 52 << 1 << "ERROR_CGI_GET_FOLDER_LIST";
        QTest::newRow("torrent-list has none") << 9 << 5100 << "";
        QTest::newRow("tracker-add has none") << 24 << 5100 << "";
        QTest::newRow("expired on torrent-list") << 9 << 5000 << "TXT_RE_CONNECT_NAS";
        QTest::newRow("expired on start") << 16 << 5000 << "TXT_RE_CONNECT_NAS";
        QTest::newRow("no reply on add") << 13 << -9999 << "TXT_RE_CONNECT_NAS";
        QTest::newRow("no reply, no text op") << 1 << -9999 << "TXT_RE_CONNECT_NAS";
    }
    void messageKey()
    {
        QFETCH(int, function);
        QFETCH(int, code);
        QFETCH(QString, key);
        const Error e = cgi(function, code);
        QCOMPARE(::key(CgiErrorRules::errorMessageKey(e)), key);
        AppCgiDelegate d;
        QCOMPARE(*d.cgiCtrl_errorMessage(nullptr, e),
            key.isEmpty() ? QString() : localized(key.toLatin1().constData()));
        QCOMPARE(
            *d.cgiCtrl_alertButtonType(nullptr, e, 0), (code == -9999 || code == 5000) ? 2 : 1);
    }

    void cancelledHasNoText()
    {
        const Error cancelled(kCgiErrorDomain, kCgiErrorCancelled);
        QVERIFY(!CgiErrorRules::errorMessageKey(cancelled));
        QCOMPARE(CgiErrorRules::alertButtonType(cancelled), 1);
    }

    void onlyMissingPreferencesAreHidden()
    {
        QVERIFY(!CgiErrorRules::showErrorMessage(cgi(kCgiGetUserPref, 5005)));
        QVERIFY(CgiErrorRules::showErrorMessage(cgi(kCgiGetUserPref, 5006)));
        QVERIFY(CgiErrorRules::showErrorMessage(cgi(kCgiTorrentList, 5005)));
    }

    void preferenceReplyGetsSuccess()
    {
        const QJsonObject bare { { "max_dl_number", 3 } };
        QCOMPARE(CgiErrorRules::response(bare, kCgiGetUserPref).value("success").toBool(), true);
        QVERIFY(!CgiErrorRules::response(bare, kCgiTorrentList).contains("success"));
        const QJsonObject failed { { "success", false }, { "error_code", 5005 } };
        QCOMPARE(CgiErrorRules::response(failed, kCgiGetUserPref), failed);
    }

    void signInCodes_data()
    {
        QTest::addColumn<int>("cgiCode");
        QTest::addColumn<int>("loginCode");
        QTest::addColumn<QString>("key");
        QTest::newRow("5001") << 5001 << -7997 << "ERR_LOGIN_AUTHENTICATION_FAIL";
        QTest::newRow("5002") << 5002 << -7996 << "ERR_LOGIN_ACCOUNT_DISABLE";
        QTest::newRow("5003") << 5003 << -7995 << "ERR_LOGIN_ACCOUNT_EXPIRED";
        QTest::newRow("5004") << 5004 << -8000 << "ERR_LOGIN_CONNECT_SERVER_FAIL";
        QTest::newRow("no reply") << -9999 << -8000 << "ERR_LOGIN_CONNECT_SERVER_FAIL";
        QTest::newRow("cancelled") << -9998 << -7998 << "";
    }
    void signInCodes()
    {
        QFETCH(int, cgiCode);
        QFETCH(int, loginCode);
        QFETCH(QString, key);
        QCOMPARE(CgiErrorRules::loginErrorCodeFromCgiCode(cgiCode), loginCode);
        QCOMPARE(::key(CgiErrorRules::loginErrorMessageKey(loginCode)), key);
    }

    void signInMessagesFillPlaceholders()
    {
        QCoreApplication::setApplicationName("Ferrylink");
        const QVariantMap info { { "app_name", "Haulhouse" }, { "app_cur_ver", "1.0.0" },
            { "app_min_ver", "2.0.0" } };
        const QString tooOld = CgiErrorRules::loginErrorMessage(
            Error(kLoginErrorDomain, kLoginErrorAppTooOld, info));
        QCOMPARE(tooOld,
            stringWithKSTFormat(localized("ERR_LOGIN_APP_VERSION_INVALID"),
                { "Haulhouse", "1.0.0", "2.0.0", "Ferrylink" }));
        for (const char *part : { "Haulhouse", "1.0.0", "2.0.0", "Ferrylink" })
            QVERIFY2(tooOld.contains(part), qPrintable(tooOld));
        for (int code :
            { kLoginErrorAppUninstalled, kLoginErrorAppDisabled, kLoginErrorAppPrivilege }) {
            const QString m
                = CgiErrorRules::loginErrorMessage(Error(kLoginErrorDomain, code, info));
            QVERIFY2(m.contains("Haulhouse") && !m.contains('{'), qPrintable(m));
        }
        QCOMPARE(
            CgiErrorRules::loginErrorMessage(Error(kLoginErrorDomain, kLoginErrorAdminRequired)),
            localized("ERR_LOGIN_CONNECT_SERVER_FAIL"));
        QVERIFY(CgiErrorRules::loginErrorMessage(Error(kLoginErrorDomain, kLoginErrorCancelled))
                    .isEmpty());
    }
};

QTEST_MAIN(TestErrorRules)
#include "tst_errorrules.moc"
