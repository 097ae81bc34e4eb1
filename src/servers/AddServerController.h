// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "api/Error.h"
#include "servers/FavoriteManager.h"
#include "servers/FoundUnitsModel.h"
#include "servers/NasScanManager.h"

#include <QObject>
#include <QPersistentModelIndex>
#include <QPointer>

namespace flk {

class CgiCtrl;
class CommandOverlay;

// The add-server wizard without its widgets: the way a NAS is named (found
// on the LAN, by address, by cloud ID), its address, port, account and
// password, and the sign-in that saves it. Two pages: the way, then the
// server's details. The sign-in runs under the wizard's overlay and can be
// cancelled; a controller that goes cancels it.
class AddServerController : public QObject, public NasScanDelegate
{
    Q_OBJECT

public:
    enum Mode { Manual = 0, CloudID = 1, Scanned = 2 };
    enum Page { ChooseWay = 0, ServerInfo = 1 };

    // scan: the scanner to use (owned); null makes one on Avahi. The scan
    // starts at once.
    AddServerController(FavoriteManager *favorites, NasScanManager *scan, CommandOverlay *overlay,
        QObject *parent = nullptr);
    ~AddServerController() override;

    FoundUnitsModel *units() const { return m_units; }
    NasScanManager *scan() const { return m_scan; }

    Mode mode() const { return m_mode; }
    void setMode(Mode mode);
    Page page() const { return m_page; }
    // The found unit chosen (-1: none); it follows its row as units come
    // and go, and is none once it left.
    int chosenUnit() const;
    void setChosenUnit(int row);

    QString host() const { return m_host; }
    QString port() const { return m_port; }
    QString account() const { return m_account; }
    QString password() const { return m_password; }
    bool https() const { return m_https; }
    void setHost(const QString &v);
    void setPort(const QString &v);
    void setAccount(const QString &v);
    void setPassword(const QString &v);
    // HTTP or HTTPS, with that way's standard port (8000 / 8001).
    void setHttps(bool https);

    // Whether Next (first page) or Complete (second page) can be pressed:
    // a found unit chosen when that is the way; every detail filled in.
    bool canGoOn() const;
    // First page: on to the details (filled from the chosen unit, or empty
    // with the standard port). Second page: the sign-in (false when nothing
    // was started).
    bool next();
    void previous();
    bool isSigningIn() const { return bool(m_attempt); }

    void server_Added(const QVariantMap &info) override;
    void server_Updated(const QVariantMap &info) override;
    void server_Removed(const QString &name) override;

signals:
    // Page, way, details or what can be pressed changed.
    void changed();
    void signingIn();
    // Signed in and saved (the receiver owns client; the first server
    // saved becomes the default).
    void signedIn(CgiCtrl *client);
    // The sign-in failed or was cancelled (the alert, if any, is shown by
    // the sign-in itself).
    void signInFailed(const Error &error);

private:
    void setField(QString &field, const QString &value);
    void cancelSignIn();

    FavoriteManager *m_favorites;
    NasScanManager *m_scan;
    QPointer<CommandOverlay> m_overlay;
    FoundUnitsModel *m_units;
    Mode m_mode = Scanned;
    Page m_page = ChooseWay;
    QPersistentModelIndex m_chosen;
    QString m_host, m_port, m_account, m_password;
    bool m_https = false;
    LoginHandle m_attempt; // the sign-in under way, if any
};

} // namespace flk
