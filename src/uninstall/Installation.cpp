// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "Installation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>

namespace sweepdeck {

namespace {
const QString kBinDir = QStringLiteral(SWEEPDECK_BINDIR);
const QString kDataDir = QStringLiteral(FERRYLINK_DATADIR);
const QString kLibexecDir = QStringLiteral(FERRYLINK_LIBEXECDIR);
} // namespace

std::optional<UninstallKeys> UninstallKeys::load(const QString &path, QString *error)
{
    if (!QFileInfo(path).isFile()) {
        if (error)
            *error = QStringLiteral("no key file at %1").arg(path);
        return std::nullopt;
    }
    QSettings s(path, QSettings::IniFormat);
    UninstallKeys k;
    k.targetAppName = s.value(QStringLiteral("TargetAppName")).toString();
    k.targetIconFile = s.value(QStringLiteral("TargetIconFile")).toString();
    k.targetBundleIdentifier = s.value(QStringLiteral("TargetBundleIdentifier")).toString();
    k.bundleName = s.value(QStringLiteral("CFBundleName")).toString();
    // The identifier names folders: one plain name, nothing else.
    const QString id = k.targetBundleIdentifier;
    if (s.status() != QSettings::NoError || k.targetAppName.isEmpty() || id.isEmpty()
        || id.contains(QLatin1Char('/')) || id == QLatin1String(".") || id == QLatin1String("..")) {
        if (error)
            *error = QStringLiteral("the key file %1 is incomplete").arg(path);
        return std::nullopt;
    }
    if (k.bundleName.isEmpty())
        k.bundleName = QStringLiteral("Sweepdeck");
    return k;
}

Installation::Installation(const QString &prefix)
{
    const QString canonical = QFileInfo(prefix).canonicalFilePath();
    m_prefix = canonical.isEmpty() ? QDir::cleanPath(prefix) : canonical;
}

Installation Installation::fromApplicationDir(const QString &applicationDir)
{
    QString dir = QDir::cleanPath(applicationDir);
    const QString tail = QLatin1Char('/') + kBinDir;
    if (dir.endsWith(tail))
        dir.chop(tail.size());
    else
        dir = QDir::cleanPath(dir + QStringLiteral("/.."));
    return Installation(dir.isEmpty() ? QStringLiteral("/") : dir);
}

QString Installation::absolute(const QString &relative) const
{
    return (m_prefix == QLatin1String("/") ? QString() : m_prefix) + QLatin1Char('/') + relative;
}

QString Installation::keysPath() const
{
    return absolute(kDataDir + QStringLiteral("/ferrylink/sweepdeck.keys"));
}

QString Installation::manifestPath() const
{
    return absolute(kDataDir + QStringLiteral("/ferrylink/install-manifest.txt"));
}

QString Installation::helperPath() const
{
    return absolute(kLibexecDir + QStringLiteral("/ferrylink/purgehand"));
}

bool Installation::isCleanRelative(const QString &relative)
{
    if (relative.isEmpty() || relative.startsWith(QLatin1Char('/')))
        return false;
    for (const QChar c : relative)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    for (const QString &part : relative.split(QLatin1Char('/')))
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    return true;
}

bool Installation::readManifest(QString *error)
{
    m_entries.clear();
    m_haveManifest = false;
    QFile f(manifestPath());
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    QSet<QString> seen;
    while (!f.atEnd()) {
        QString line = QString::fromUtf8(f.readLine());
        while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (isCleanRelative(line) && !seen.contains(line)) {
            seen.insert(line);
            m_entries << line;
        }
    }
    m_haveManifest = true;
    return true;
}

bool Installation::isOwnFile(const QString &relative)
{
    const QString name = relative.section(QLatin1Char('/'), -1);
    return name.startsWith(QLatin1String("sweepdeck")) || name.contains(QLatin1String("purgehand"));
}

QStringList Installation::targetFiles() const
{
    const QString manifestRel = kDataDir + QStringLiteral("/ferrylink/install-manifest.txt");
    QStringList out;
    for (const QString &rel : m_entries)
        if (!isOwnFile(rel) && rel != manifestRel)
            out << absolute(rel);
    return out;
}

QStringList Installation::ownFiles() const
{
    QStringList out;
    for (const QString &rel : m_entries)
        if (isOwnFile(rel))
            out << absolute(rel);
    return out;
}

QStringList Installation::productFolders(const QString &product) const
{
    QSet<QString> folders;
    QStringList entries = m_entries;
    entries << kDataDir + QStringLiteral("/ferrylink/install-manifest.txt");
    for (const QString &rel : entries) {
        const QStringList parts = rel.split(QLatin1Char('/'));
        QString path;
        bool own = false;
        for (int i = 0; i + 1 < parts.size(); ++i) {
            path += (i ? QStringLiteral("/") : QString()) + parts[i];
            own = own || parts[i] == product;
            if (own)
                folders.insert(path);
        }
    }
    QStringList out(folders.begin(), folders.end());
    // Deepest first, so a folder goes before its parent.
    std::sort(out.begin(), out.end(), [](const QString &a, const QString &b) {
        const qsizetype da = a.count(QLatin1Char('/')), db = b.count(QLatin1Char('/'));
        return da != db ? da > db : a < b;
    });
    for (QString &f : out)
        f = absolute(f);
    return out;
}

QString Installation::userCacheDir(const QString &identifier)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QLatin1Char('/')
        + identifier;
}

QString Installation::userStateDir(const QString &identifier)
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QLatin1Char('/') + identifier;
}

QString Installation::userConfigDir(const QString &identifier)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QLatin1Char('/') + identifier;
}

} // namespace sweepdeck
