// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

namespace flk {

class CgiCtrl;
class CommandOverlay;

// The default-folder sheet without its widgets: when the NAS download
// service has no preferences for this account yet, the folder chosen
// ("/Download" unless another is set) is saved as the account's first
// preferences, under the sheet's overlay.
class FirstFolderController : public QObject
{
    Q_OBJECT

public:
    FirstFolderController(
        std::shared_ptr<CgiCtrl> client, CommandOverlay *overlay, QObject *parent = nullptr);

    const std::shared_ptr<CgiCtrl> &client() const { return m_client; }
    QString folder() const { return m_folder; }
    void setFolder(const QString &folder);
    // Sends the folder; false when nothing was sent (no client, or a
    // request is out already).
    bool save();

signals:
    void folderChanged(const QString &folder);
    void saved(bool ok);

private:
    std::shared_ptr<CgiCtrl> m_client;
    QPointer<CommandOverlay> m_overlay;
    QString m_folder = QStringLiteral("/Download");
};

} // namespace flk
