// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "LayoutState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace flk {

namespace {
// A layout is a few kilobytes; a larger file is not one of ours.
constexpr qint64 kMaxStateBytes = 4 * 1024 * 1024;
constexpr int kMaxSize = 1 << 20; // pixels; a larger split size is nonsense
} // namespace

LayoutState::LayoutState(const QString &path) : m_path(path)
{
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxStateBytes)
        return;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(f.read(kMaxStateBytes), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return;
    m_root = doc.object();
    m_loaded = true;
}

QString LayoutState::standardPath()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/ferrylink/state.json");
}

QJsonValue LayoutState::value(const QString &scope, const QString &key) const
{
    return m_root.value(scope).toObject().value(key);
}

void LayoutState::setValue(const QString &scope, const QString &key, const QJsonValue &value)
{
    QJsonObject s = m_root.value(scope).toObject();
    s.insert(key, value);
    m_root.insert(scope, s);
}

QByteArray LayoutState::bytes(const QString &scope, const QString &key) const
{
    const QJsonValue v = value(scope, key);
    if (!v.isString())
        return {};
    const auto decoded = QByteArray::fromBase64Encoding(v.toString().toLatin1());
    return decoded ? *decoded : QByteArray();
}

void LayoutState::setBytes(const QString &scope, const QString &key, const QByteArray &value)
{
    setValue(scope, key, QString::fromLatin1(value.toBase64()));
}

QList<int> LayoutState::sizes(const QString &scope, const QString &key) const
{
    const QJsonValue v = value(scope, key);
    if (!v.isArray())
        return {};
    QList<int> out;
    for (const QJsonValue &n : v.toArray()) {
        const double d = n.toDouble(-1);
        if (!n.isDouble() || d < 1 || d > kMaxSize || d != double(int(d)))
            return {};
        out << int(d);
    }
    return out.size() < 2 ? QList<int>() : out;
}

void LayoutState::setSizes(const QString &scope, const QString &key, const QList<int> &sizes)
{
    QJsonArray a;
    for (int n : sizes)
        a.append(n);
    setValue(scope, key, a);
}

void LayoutState::removeScope(const QString &scope)
{
    m_root.remove(scope);
}

bool LayoutState::save()
{
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        m_error = QStringLiteral("cannot create %1").arg(QFileInfo(m_path).absolutePath());
        return false;
    }
    QSaveFile f(m_path);
    if (!f.open(QIODevice::WriteOnly)) {
        m_error = f.errorString();
        return false;
    }
    f.write(QJsonDocument(m_root).toJson());
    if (!f.commit()) {
        m_error = f.errorString();
        return false;
    }
    m_error.clear();
    return true;
}

} // namespace flk
