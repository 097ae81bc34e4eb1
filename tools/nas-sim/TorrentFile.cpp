// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TorrentFile.h"

#include <QMap>
#include <QVariant>

namespace nassim {

namespace {
// A bencode reader into QVariant (integers, byte strings, lists, dicts);
// depth and sizes are bounded so hostile input cannot exhaust the stack.
class Reader
{
public:
    explicit Reader(const QByteArray &d) : m_d(d) { }
    std::optional<QVariant> value(int depth = 0)
    {
        if (depth > 32 || m_pos >= m_d.size())
            return std::nullopt;
        const char c = m_d[m_pos];
        if (c == 'i') {
            const qsizetype end = m_d.indexOf('e', m_pos);
            if (end < 0)
                return std::nullopt;
            bool ok = false;
            const qint64 n = m_d.mid(m_pos + 1, end - m_pos - 1).toLongLong(&ok);
            m_pos = end + 1;
            return ok ? std::optional<QVariant>(n) : std::nullopt;
        }
        if (c == 'l' || c == 'd') {
            ++m_pos;
            QVariantList list;
            QVariantMap map;
            while (m_pos < m_d.size() && m_d[m_pos] != 'e') {
                if (c == 'd') {
                    const auto key = string();
                    const auto v = key ? value(depth + 1) : std::nullopt;
                    if (!v)
                        return std::nullopt;
                    map.insert(QString::fromUtf8(*key), *v);
                } else {
                    const auto v = value(depth + 1);
                    if (!v)
                        return std::nullopt;
                    list.append(*v);
                }
            }
            if (m_pos >= m_d.size())
                return std::nullopt;
            ++m_pos;
            return c == 'd' ? QVariant(map) : QVariant(list);
        }
        const auto s = string();
        return s ? std::optional<QVariant>(*s) : std::nullopt;
    }
    bool atEnd() const { return m_pos == m_d.size(); }

private:
    std::optional<QByteArray> string()
    {
        const qsizetype colon = m_d.indexOf(':', m_pos);
        if (colon < 0 || colon - m_pos > 10)
            return std::nullopt;
        bool ok = false;
        const qint64 len = m_d.mid(m_pos, colon - m_pos).toLongLong(&ok);
        if (!ok || len < 0 || colon + 1 + len > m_d.size())
            return std::nullopt;
        const QByteArray s = m_d.mid(colon + 1, len);
        m_pos = colon + 1 + len;
        return s;
    }
    const QByteArray &m_d;
    qsizetype m_pos = 0;
};

QByteArray str(const QByteArray &b)
{
    return QByteArray::number(b.size()) + ':' + b;
}
} // namespace

std::optional<TorrentFile> TorrentFile::parse(const QByteArray &data)
{
    Reader r(data);
    const auto root = r.value();
    if (!root || !r.atEnd() || root->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap meta = root->toMap();
    const QVariantMap info = meta.value(QStringLiteral("info")).toMap();
    TorrentFile t;
    t.name = QString::fromUtf8(info.value(QStringLiteral("name")).toByteArray());
    t.announce = QString::fromUtf8(meta.value(QStringLiteral("announce")).toByteArray());
    if (t.name.isEmpty())
        return std::nullopt;
    if (info.contains(QStringLiteral("files"))) {
        for (const QVariant &f : info.value(QStringLiteral("files")).toList()) {
            const QVariantMap m = f.toMap();
            QStringList parts;
            for (const QVariant &p : m.value(QStringLiteral("path")).toList())
                parts << QString::fromUtf8(p.toByteArray());
            if (parts.isEmpty())
                return std::nullopt;
            t.files.append(
                { parts.join(QLatin1Char('/')), m.value(QStringLiteral("length")).toLongLong() });
        }
    } else if (info.contains(QStringLiteral("length"))) {
        t.files.append({ t.name, info.value(QStringLiteral("length")).toLongLong() });
    } else {
        return std::nullopt;
    }
    // A torrent names at least one file, none of negative length.
    if (t.files.isEmpty())
        return std::nullopt;
    for (const Entry &e : t.files)
        if (e.length < 0)
            return std::nullopt;
    return t;
}

QByteArray TorrentFile::make(
    const QString &name, const QList<Entry> &files, const QString &announce)
{
    QByteArray info = "d";
    if (files.size() == 1 && files.first().path == name) {
        info += str("length") + 'i' + QByteArray::number(files.first().length) + 'e';
    } else {
        info += str("files") + 'l';
        for (const Entry &e : files) {
            info += 'd' + str("length") + 'i' + QByteArray::number(e.length) + 'e' + str("path")
                + 'l';
            for (const QString &p : e.path.split(QLatin1Char('/')))
                info += str(p.toUtf8());
            info += "ee";
        }
        info += 'e';
    }
    info += str("name") + str(name.toUtf8()) + str("piece length") + "i262144e" + str("pieces")
        + str(QByteArray(20, '\0')) + 'e';
    return 'd' + str("announce") + str(announce.toUtf8()) + str("info") + info + 'e';
}

} // namespace nassim
