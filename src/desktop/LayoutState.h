// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

namespace flk {

// How the user left the window: its geometry, and per server the split
// positions and the list columns (widths, visible columns, sort). One JSON
// file, $XDG_STATE_HOME/ferrylink/state.json (~/.local/state when unset),
// replaced atomically on save. A state file that cannot be read is ignored:
// the window opens as on a first start, and the next save replaces it.
// Values are grouped in scopes: "window", and one per server (its hostID).
class LayoutState
{
public:
    explicit LayoutState(const QString &path = standardPath());

    static QString standardPath();

    QString path() const { return m_path; }
    // Whether a usable file was read.
    bool loaded() const { return m_loaded; }

    QJsonValue value(const QString &scope, const QString &key) const;
    void setValue(const QString &scope, const QString &key, const QJsonValue &value);
    // Byte values (saved widget states) travel as base64 text.
    QByteArray bytes(const QString &scope, const QString &key) const;
    void setBytes(const QString &scope, const QString &key, const QByteArray &value);
    // Split sizes: positive integers, at least two; anything else is none.
    QList<int> sizes(const QString &scope, const QString &key) const;
    void setSizes(const QString &scope, const QString &key, const QList<int> &sizes);
    // A server removed: its scope goes too.
    void removeScope(const QString &scope);

    // Writes the file (folder created, temporary file renamed over it).
    bool save();
    QString lastError() const { return m_error; }

private:
    QString m_path;
    QJsonObject m_root;
    bool m_loaded = false;
    QString m_error;
};

} // namespace flk
