// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "PurgehandClient.h"

namespace sweepdeck {

namespace {
constexpr qsizetype kMaxAnswer = 16384;
constexpr qsizetype kMaxErrors = 4096;
} // namespace

PurgehandClient::PurgehandClient(QObject *parent) : QObject(parent), m_process(new QProcess(this))
{
    // The helper's own messages stay out of its answers; pkexec's say why
    // a start failed.
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    connect(m_process, &QProcess::readyReadStandardOutput, this, &PurgehandClient::readLines);
    connect(m_process, &QProcess::readyReadStandardError, this, [this] {
        m_errors += m_process->readAllStandardError();
        if (m_errors.size() > kMaxErrors)
            m_errors = m_errors.right(kMaxErrors);
    });
    connect(m_process, &QProcess::finished, this,
        [this](int exitCode, QProcess::ExitStatus) { onFinished(exitCode); });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart && !m_startReported) {
            m_startReported = true;
            emit started(Start::Failed, m_process->errorString());
        }
    });
}

PurgehandClient::~PurgehandClient()
{
    if (m_process->state() != QProcess::NotRunning) {
        m_process->closeWriteChannel();
        if (!m_process->waitForFinished(2000))
            m_process->kill();
    }
}

void PurgehandClient::start(const QString &helperPath, bool viaPkexec)
{
    m_ready = false;
    m_startReported = false;
    m_buffer.clear();
    m_lastError.clear();
    m_errors.clear();
    if (viaPkexec)
        m_process->start(m_pkexec, { helperPath });
    else
        m_process->start(helperPath, {});
}

void PurgehandClient::remove(const QString &path, Reply reply)
{
    // A path the line protocol cannot carry is refused here.
    if (!m_ready || path.contains(QLatin1Char('\n')) || path.contains(QChar(0))) {
        reply(QStringLiteral("EINVAL"),
            m_ready ? QStringLiteral("malformed path")
                    : QStringLiteral("the helper is not running"));
        return;
    }
    m_pending.enqueue(std::move(reply));
    m_process->write("remove-reply " + path.toUtf8() + '\n');
}

void PurgehandClient::removeOneWay(const QString &path)
{
    if (m_ready && !path.contains(QLatin1Char('\n')) && !path.contains(QChar(0)))
        m_process->write("remove " + path.toUtf8() + '\n');
}

void PurgehandClient::finish()
{
    if (m_process->state() != QProcess::NotRunning)
        m_process->closeWriteChannel();
}

void PurgehandClient::readLines()
{
    m_buffer += m_process->readAllStandardOutput();
    qsizetype nl;
    while ((nl = m_buffer.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_buffer.left(nl));
        m_buffer.remove(0, nl + 1);
        if (!m_ready) {
            if (line == QLatin1String("READY 1")) {
                m_ready = true;
                m_startReported = true;
                emit started(Start::Ready, QString());
            } else {
                m_lastError = line;
            }
            continue;
        }
        if (m_pending.isEmpty())
            continue; // nothing was asked
        const Reply reply = m_pending.dequeue();
        if (line == QLatin1String("OK")) {
            reply(QString(), QString());
        } else {
            // "ERR CODE text"
            const QString code = line.section(QLatin1Char(' '), 1, 1);
            const QString text = line.section(QLatin1Char(' '), 2);
            reply(code.isEmpty() ? QStringLiteral("EIO") : code, text.isEmpty() ? line : text);
        }
    }
    if (m_buffer.size() > kMaxAnswer) {
        // Not a helper that speaks this protocol.
        m_buffer.clear();
        m_process->kill();
    }
}

void PurgehandClient::failPending(const QString &text)
{
    while (!m_pending.isEmpty())
        m_pending.dequeue()(QStringLiteral("EHELPER"), text);
}

QString PurgehandClient::errorOutput() const
{
    // One line of plain text: what pkexec said, without its blank lines.
    QStringList lines;
    for (const QString &l : QString::fromUtf8(m_errors).split(QLatin1Char('\n'))) {
        const QString t = l.trimmed();
        if (!t.isEmpty())
            lines << t;
    }
    return lines.join(QLatin1Char(' ')).left(1000);
}

void PurgehandClient::onFinished(int exitCode)
{
    readLines();
    const bool wasReady = m_ready;
    m_ready = false;
    failPending(QStringLiteral("the removal helper ended"));
    if (!m_startReported) {
        m_startReported = true;
        m_errors += m_process->readAllStandardError();
        const QString errors = errorOutput();
        // pkexec ends with 127 both when the administrator said no and when
        // it could not ask at all (no authentication agent); its error output
        // tells them apart.
        if (exitCode == 126)
            emit started(Start::Dismissed, QString());
        else if (exitCode == 127
            && (errors.isEmpty() || errors.contains(QLatin1String("Not authorized"))))
            emit started(Start::Refused, errors);
        else if (!m_lastError.isEmpty())
            emit started(Start::Failed, m_lastError);
        else
            emit started(Start::Failed,
                errors.isEmpty() ? QStringLiteral("exit code %1").arg(exitCode) : errors);
    }
    if (wasReady)
        emit ended();
}

} // namespace sweepdeck
