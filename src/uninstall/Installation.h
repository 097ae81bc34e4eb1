// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace sweepdeck {

// The uninstaller's key file (installed with it): what it removes and what
// it calls itself.
struct UninstallKeys {
    QString targetAppName; // "Ferrylink": shown, and named in the texts
    QString targetIconFile; // "ferrylink": the icon
    QString targetBundleIdentifier; // "ferrylink": names caches, settings, folders
    QString bundleName; // "Sweepdeck": the window title

    static std::optional<UninstallKeys> load(const QString &path, QString *error = nullptr);
};

// One installation under a prefix: where its parts are (the layout the build
// was configured with) and, from the manifest the install step wrote, what
// it installed.
class Installation
{
public:
    // The prefix is the canonical form of prefix.
    explicit Installation(const QString &prefix);
    // The installation a program in <prefix>/<bin> belongs to.
    static Installation fromApplicationDir(const QString &applicationDir);

    QString prefix() const { return m_prefix; }
    QString keysPath() const;
    QString manifestPath() const;
    QString helperPath() const;

    // Reads the manifest (paths relative to the prefix). Lines that are not
    // clean relative paths are skipped, as the helper skips them.
    bool readManifest(QString *error = nullptr);
    bool hasManifest() const { return m_haveManifest; }

    // Absolute paths: the product's files (without the uninstaller's own
    // and the manifest), the uninstaller's own files, and the product's own
    // folders (at or below a folder named product), deepest first.
    QStringList targetFiles() const;
    QStringList ownFiles() const;
    QStringList productFolders(const QString &product) const;

    // The uninstaller's own files: Sweepdeck's and Purgehand's.
    static bool isOwnFile(const QString &relative);
    static bool isCleanRelative(const QString &relative);

    // The user's folders of an identifier (its cache and its settings).
    static QString userCacheDir(const QString &identifier);
    static QString userConfigDir(const QString &identifier);
    static QString userStateDir(const QString &identifier);

private:
    QString absolute(const QString &relative) const;

    QString m_prefix;
    QStringList m_entries; // relative
    bool m_haveManifest = false;
};

} // namespace sweepdeck
