// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QMutex>
#include <QString>

#include <functional>
#include <optional>

namespace flk {

inline constexpr const char *kDefaultsFavoritesKey = "com.kestrel.flk.favorites";
inline constexpr const char *kDefaultsOpenWithKey = "open_with";
inline constexpr const char *kDefaultsCloudRelayKey = "cloud_relay_domain";

// The per-user defaults: one JSON object in one file, the only copy of the
// saved servers. Every save replaces the file atomically (temporary file in
// the same folder, fsync, rename, folder fsync), readable by the user only.
// A file that does not parse is renamed aside, never overwritten; keys this
// version does not know are kept. A defaults file that is a symbolic link is
// written through to its target (the link stays).
//
// Another process may save the same file (a second Ferrylink of another
// session, a script): a save takes a lock beside the file, reads it again
// and merges. What this process changed since its last load or save is
// applied to what is on disk: a key it did not touch keeps the disk's value,
// and the saved servers merge record by record (by host, port, account and
// kind), so a server another process added, removed or changed stays so
// unless this process changed that same server.
class DefaultsStore
{
public:
    explicit DefaultsStore(const QString &path);

    // $FERRYLINK_DEFAULTS, else $XDG_CONFIG_HOME/ferrylink/defaults.json
    // (~/.config when XDG_CONFIG_HOME is unset).
    static QString standardPath();
    static DefaultsStore *standardDefaults();

    QString path() const { return m_path; }
    QJsonValue value(const QString &key) const;
    void setValue(const QString &key, const QJsonValue &value);
    void removeValue(const QString &key);
    QJsonObject snapshot() const;

    // Writes the whole object to disk before returning. False (and
    // lastError()) when it could not be written; the old file is then intact.
    bool synchronize();
    QString lastError() const;
    // Where an unreadable file was moved at load, if one was.
    QString setAsidePath() const;

    // Test hook: called with the temporary file just before the rename; a
    // false return abandons the save there, as a crash would.
    static void setBeforeRenameHook(std::function<bool(const QString &)> hook);

    // A defaults file's content as the store reads it: the object, or none
    // when it is not a JSON object.
    static std::optional<QJsonObject> parse(const QByteArray &data);
    // The file written (the defaults path, or the target of its link).
    QString targetPath() const;
    // Three-way merge of defaults objects (exposed for tests).
    static QJsonObject merge(
        const QJsonObject &base, const QJsonObject &ours, const QJsonObject &theirs);

private:
    void load();
    void removeStaleTemporaries(const QString &dir);

    QString m_path;
    mutable QMutex m_mutex;
    QJsonObject m_root;
    QJsonObject m_base; // this process's view at its last load or save
    QString m_lastError;
    QString m_setAside;
    bool m_readOnly = false; // the file exists but could not be read: never overwrite it
};

} // namespace flk
