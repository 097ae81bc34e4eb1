// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "NasSettings.h"

#include <algorithm>

namespace nassim {

namespace {
const char *const kDays[] = { "sun", "mon", "tue", "wed", "thu", "fri", "sat" };

QJsonObject folderRecord(const QString &path)
{
    return { { QStringLiteral("id"), path },
        { QStringLiteral("text"), path.section(QLatin1Char('/'), -1) } };
}
} // namespace

NasSettings::NasSettings()
{
    m_shares
        = { QStringLiteral("/Download"), QStringLiteral("/Public"), QStringLiteral("/Multimedia") };
    for (const QString &p : m_shares)
        m_folders.insert(p);
    for (const char *p : { "/Download/Movies", "/Download/Movies/2026", "/Download/Music",
             "/Download/TV", "/Download/Linux ISOs", "/Download/Books", "/Public/Shared Docs",
             "/Multimedia/Photos", "/Multimedia/Videos" })
        m_folders.insert(QString::fromUtf8(p));
    // Working hours limited (2), nights unlimited (1) on weekdays.
    for (int d = 0; d < 7; ++d) {
        QList<int> hours(24, 1);
        if (d >= 1 && d <= 5)
            for (int h = 8; h < 18; ++h)
                hours[h] = 2;
        m_days.insert(QString::fromLatin1(kDays[d]), hours);
    }
    m_maxDown = 500;
    m_maxUp = 100;
    m_sites = {
        { QStringLiteral("openbay"), QStringLiteral("https://openbay.example.org"),
            QStringLiteral("1.2"), true, false, false, {}, {} },
        { QStringLiteral("linuxtracker"), QStringLiteral("https://linuxtracker.example.net"),
            QStringLiteral("2.0"), true, false, false, {}, {} },
        { QStringLiteral("privatehub"), QStringLiteral("https://privatehub.example.com"),
            QStringLiteral("1.0"), false, true, false, QStringLiteral("member"),
            QStringLiteral("secret") },
    };
}

QJsonArray NasSettings::shareFolders() const
{
    QMutexLocker lock(&m_mutex);
    QJsonArray out;
    for (const QString &p : m_shares)
        out.append(folderRecord(p));
    return out;
}

std::optional<QJsonArray> NasSettings::subfolders(const QString &path) const
{
    QMutexLocker lock(&m_mutex);
    if (!m_folders.contains(path))
        return std::nullopt;
    QStringList children;
    const QString prefix = path + QLatin1Char('/');
    for (const QString &p : m_folders)
        if (p.startsWith(prefix) && !p.mid(prefix.size()).contains(QLatin1Char('/')))
            children << p;
    std::sort(children.begin(), children.end(),
        [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QJsonArray out;
    for (const QString &p : children)
        out.append(folderRecord(p));
    return out;
}

int NasSettings::createFolder(const QString &parent, const QString &name)
{
    QMutexLocker lock(&m_mutex);
    if (!m_folders.contains(parent))
        return 5300;
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty() || trimmed == QLatin1String(".") || trimmed == QLatin1String("..")
        || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return 5301;
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control)
            return 5301;
    const QString path = parent + QLatin1Char('/') + name;
    if (m_folders.contains(path))
        return 5302;
    m_folders.insert(path);
    return 0;
}

bool NasSettings::folderExists(const QString &path) const
{
    QMutexLocker lock(&m_mutex);
    return m_folders.contains(path);
}

QJsonObject NasSettings::schedule() const
{
    QMutexLocker lock(&m_mutex);
    QJsonObject r { { QStringLiteral("success"), 1 },
        { QStringLiteral("enable_scheduler"), m_scheduleOn },
        { QStringLiteral("max_download_speed"), m_maxDown },
        { QStringLiteral("max_upload_speed"), m_maxUp } };
    for (auto it = m_days.cbegin(); it != m_days.cend(); ++it) {
        QJsonArray hours;
        for (int v : *it)
            hours.append(v);
        r.insert(it.key(), hours);
    }
    return r;
}

int NasSettings::setSchedule(const QMap<QString, QString> &form)
{
    QMap<QString, QList<int>> days;
    for (const char *d : kDays) {
        const QString key = QString::fromLatin1(d);
        const QStringList parts = form.value(key).split(QLatin1Char(','));
        if (parts.size() != 24)
            return 5310;
        QList<int> hours;
        for (const QString &p : parts) {
            bool ok = false;
            const int v = p.toInt(&ok);
            if (!ok || v < 1 || v > 4)
                return 5310;
            hours << v;
        }
        days.insert(key, hours);
    }
    bool okDown = false, okUp = false;
    const int down = form.value(QStringLiteral("max_download_speed")).toInt(&okDown);
    const int up = form.value(QStringLiteral("max_upload_speed")).toInt(&okUp);
    if (!okDown || !okUp || down < 0 || up < 0)
        return 5311;
    const QString on = form.value(QStringLiteral("enable_scheduler"));
    QMutexLocker lock(&m_mutex);
    m_days = days;
    m_maxDown = down;
    m_maxUp = up;
    m_scheduleOn
        = on == QLatin1String("1") || on.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    return 0;
}

QJsonArray NasSettings::sites() const
{
    QMutexLocker lock(&m_mutex);
    QJsonArray out;
    for (const Site &s : m_sites)
        out.append(
            QJsonObject { { QStringLiteral("name"), s.name }, { QStringLiteral("url"), s.url },
                { QStringLiteral("version"), s.version }, { QStringLiteral("enable"), s.enable },
                { QStringLiteral("account_support"), s.accountSupport },
                { QStringLiteral("custom"), s.custom } });
    return out;
}

bool NasSettings::enableSite(const QString &name, bool enable)
{
    QMutexLocker lock(&m_mutex);
    for (Site &s : m_sites)
        if (s.name == name) {
            s.enable = enable;
            return true;
        }
    return false;
}

int NasSettings::addSite(const QString &fileName, const QByteArray &content)
{
    if (!fileName.endsWith(QLatin1String(".dlm")) || content.isEmpty())
        return 5320;
    const QString name = fileName.chopped(4).section(QLatin1Char('/'), -1);
    if (name.isEmpty())
        return 5320;
    QMutexLocker lock(&m_mutex);
    for (const Site &s : m_sites)
        if (s.name == name)
            return 5321;
    m_sites.append({ name, QStringLiteral("https://") + name + QStringLiteral(".example"),
        QStringLiteral("1.0"), false, false, true, {}, {} });
    return 0;
}

bool NasSettings::deleteSite(const QString &name)
{
    QMutexLocker lock(&m_mutex);
    return m_sites.removeIf([&](const Site &s) { return s.custom && s.name == name; }) > 0;
}

std::optional<QJsonObject> NasSettings::siteInfo(const QString &name) const
{
    QMutexLocker lock(&m_mutex);
    for (const Site &s : m_sites)
        if (s.name == name)
            return QJsonObject { { QStringLiteral("success"), 1 },
                { QStringLiteral("name"), s.name }, { QStringLiteral("account"), s.account } };
    return std::nullopt;
}

bool NasSettings::setSiteAccount(
    const QString &name, const QString &account, const QString &password)
{
    QMutexLocker lock(&m_mutex);
    for (Site &s : m_sites)
        if (s.name == name && s.accountSupport) {
            s.account = account;
            s.password = password;
            return true;
        }
    return false;
}

bool NasSettings::testSiteAccount(
    const QString &name, const QString &account, const QString &password)
{
    QMutexLocker lock(&m_mutex);
    for (const Site &s : m_sites)
        if (s.name == name)
            return s.accountSupport && !account.isEmpty() && password == QLatin1String("secret");
    return false;
}

} // namespace nassim
