// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "FinishedTasksWatcher.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace flk {

namespace {
// A cache file is small; anything larger is not ours.
constexpr qint64 kMaxCacheBytes = 16 * 1024 * 1024;
} // namespace

FinishedTasksWatcher::FinishedTasksWatcher(const QString &cacheFile, QObject *parent)
    : QObject(parent), m_file(cacheFile)
{
    load();
}

QString FinishedTasksWatcher::cacheFileFor(const QString &hostID)
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    const QByteArray hash
        = QCryptographicHash::hash(hostID.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    return base + QStringLiteral("/ferrylink/finished-") + QString::fromLatin1(hash)
        + QStringLiteral(".json");
}

void FinishedTasksWatcher::load()
{
    QFile f(m_file);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxCacheBytes)
        return;
    const QJsonDocument doc = QJsonDocument::fromJson(f.read(kMaxCacheBytes));
    const QJsonValue keys = doc.object().value(QStringLiteral("finished"));
    if (!keys.isArray())
        return; // unreadable: learnt again, silently
    for (const QJsonValue &k : keys.toArray()) {
        if (k.isString())
            m_known.insert(k.toString());
    }
    m_hadCache = true;
}

void FinishedTasksWatcher::save() const
{
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    QJsonArray keys;
    QStringList sorted(m_known.begin(), m_known.end());
    sorted.sort();
    for (const QString &k : sorted)
        keys.append(k);
    QSaveFile f(m_file);
    if (!f.open(QIODevice::WriteOnly))
        return; // a cache: the next run learns again
    f.write(QJsonDocument(QJsonObject { { QStringLiteral("finished"), keys } })
                .toJson(QJsonDocument::Compact));
    f.commit();
}

bool FinishedTasksWatcher::wantsCheck(qint64 countSignature) const
{
    return !m_lastCount || *m_lastCount != countSignature;
}

void FinishedTasksWatcher::check(qint64 countSignature, const QList<FinishedTask> &finishedNow)
{
    m_lastCount = countSignature;
    const bool first = !m_checkedOnce;
    m_checkedOnce = true;
    QList<FinishedTask> fresh;
    QSet<QString> now;
    now.reserve(finishedNow.size());
    for (const FinishedTask &t : finishedNow) {
        now.insert(t.key);
        if (!m_known.contains(t.key))
            fresh << t;
    }
    const bool changed = now != m_known;
    m_known = std::move(now);
    if (changed || !m_hadCache)
        save();
    // A server never seen before is learnt without a word.
    const bool learning = first && !m_hadCache;
    m_hadCache = true;
    if (!fresh.isEmpty() && !learning)
        emit finished(fresh, first);
}

} // namespace flk
