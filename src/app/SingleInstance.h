// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

class QLocalServer;
class QLockFile;

namespace flk {

// One running Ferrylink per user and defaults file. The running one holds a
// lock file (with its process id) beside the defaults file itself, keyed on
// its real path (a link to it, or another runtime folder, finds the same
// lock), and listens on a socket in a folder only the user can enter; the
// socket's path is written beside the lock. A later launch that cannot take
// the lock hands its arguments (torrent files, magnet links) to the running
// one over that socket and ends, and never takes the socket of a live
// instance, even when the hand-over fails. Both ends check that the other
// is the same user. A lock left by a process that is gone is taken over.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // The socket's path: in the user's own folder (see privateFolder), named
    // from the defaults file's real path, so a demo profile and the real one
    // are separate instances.
    static QString serverName(const QString &defaultsPath);
    // $XDG_RUNTIME_DIR when it is the user's alone, else a folder of the
    // user's made for it (mode 0700); empty when none can be had.
    static QString privateFolder();
    // The defaults file's path with links resolved (the file need not exist).
    static QString realPath(const QString &path);

    // defaultsPath: the profile; its lock and the socket's address go beside
    // it. Without one, the lock goes beside the socket.
    explicit SingleInstance(
        const QString &name, const QString &defaultsPath = QString(), QObject *parent = nullptr);
    ~SingleInstance() override;

    enum class HandOver {
        Delivered, // the running instance has the items
        NotAnswered, // it did not take them in time (busy, or not listening yet)
        TooLarge, // more than a hand-over carries; nothing was sent
    };
    // The most bytes one hand-over carries (64 MiB: a hundred thousand
    // long paths).
    static constexpr quint32 kMaxHandOverBytes = 64 * 1024 * 1024;

    // Takes the instance lock and listens. False when a live instance holds
    // the lock (hand over to it instead) or listening failed (lastError()).
    bool tryBecomePrimary();
    bool isPrimary() const { return m_primary; }
    // Hands items to the running instance.
    HandOver sendToRunning(const QStringList &items, int timeoutMs = 10000) const;
    QString lastError() const { return m_error; }
    QString lockPath() const;
    // Where the running instance says which socket it listens on.
    QString addressPath() const;
    QString name() const { return m_name; }

    // What a launch hands over, made independent of its working directory:
    // local paths absolute, file URLs as paths, links as they are.
    static QStringList normalizedArguments(const QStringList &args, const QString &workingDir);

signals:
    void received(const QStringList &items);

private:
    void onConnection();
    QString m_name;
    QString m_defaultsPath;
    QLocalServer *m_server = nullptr;
    std::unique_ptr<QLockFile> m_lock;
    bool m_primary = false;
    QString m_error;
};

} // namespace flk
