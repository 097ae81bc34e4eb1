// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QObject>
#include <QProcess>
#include <QQueue>

#include <functional>

namespace sweepdeck {

// The connection to the removal helper: the helper's standard input and
// output, held by this process only. Started through pkexec (the user
// authorises as an administrator) or, for tests, directly as the same user
// (which grants nothing). Requests are answered in order; nothing waits.
class PurgehandClient : public QObject
{
    Q_OBJECT

public:
    enum class Start {
        Ready, // the helper runs and built its allow-list
        Dismissed, // the user cancelled the authorisation dialog (pkexec 126)
        Refused, // authorisation was refused (pkexec 127, "Not authorized")
        Failed, // pkexec or the helper could not run, or the helper gave up
    };
    Q_ENUM(Start)

    // code: empty on success, else the helper's code ("ENOENT", ...).
    using Reply = std::function<void(const QString &code, const QString &text)>;

    explicit PurgehandClient(QObject *parent = nullptr);
    ~PurgehandClient() override;

    void setPkexecProgram(const QString &program) { m_pkexec = program; }
    void start(const QString &helperPath, bool viaPkexec);
    bool isReady() const { return m_ready; }
    // remove_File:withReply:
    void remove(const QString &path, Reply reply);
    // remove_File: (no answer)
    void removeOneWay(const QString &path);
    // Ends the helper (end of its input).
    void finish();

signals:
    void started(sweepdeck::PurgehandClient::Start outcome, const QString &detail);
    void ended();

private:
    void readLines();
    void onFinished(int exitCode);
    void failPending(const QString &text);
    QString errorOutput() const;

    QProcess *m_process;
    QString m_pkexec = QStringLiteral("pkexec");
    QByteArray m_buffer;
    QQueue<Reply> m_pending;
    bool m_ready = false;
    bool m_startReported = false;
    QString m_lastError;
    // pkexec's (and the helper's) error output, the last few KB of it.
    QByteArray m_errors;
};

} // namespace sweepdeck
