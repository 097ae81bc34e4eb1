// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

// This build installed (cmake --install) into a temporary prefix.
struct InstalledPrefix {
    QTemporaryDir dir;
    QString prefix;
    QString log;
    bool ok = false;

    InstalledPrefix()
    {
        if (!dir.isValid())
            return;
        prefix = QFileInfo(dir.path()).canonicalFilePath() + QStringLiteral("/usr");
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral(CMAKE_COMMAND),
            { QStringLiteral("--install"), QStringLiteral(FERRYLINK_BINARY_DIR),
                QStringLiteral("--prefix"), prefix });
        ok = p.waitForFinished(180000) && p.exitStatus() == QProcess::NormalExit
            && p.exitCode() == 0;
        log = QString::fromLocal8Bit(p.readAll());
    }
    QString path(const QString &relative) const { return prefix + QLatin1Char('/') + relative; }
    QString helper() const { return path(QStringLiteral("libexec/ferrylink/purgehand")); }
    QString manifestPath() const
    {
        return path(QStringLiteral("share/ferrylink/install-manifest.txt"));
    }
    QStringList manifest() const
    {
        QFile f(manifestPath());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // Every file and link under the prefix, relative.
    QStringList files() const
    {
        QStringList out;
        std::function<void(const QString &)> walk = [&](const QString &rel) {
            const QFileInfoList entries = QDir(path(rel)).entryInfoList(
                QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
            for (const QFileInfo &e : entries) {
                const QString r
                    = rel.isEmpty() ? e.fileName() : rel + QLatin1Char('/') + e.fileName();
                if (e.isDir() && !e.isSymLink())
                    walk(r);
                else
                    out << r;
            }
        };
        walk(QString());
        out.sort();
        return out;
    }
};
