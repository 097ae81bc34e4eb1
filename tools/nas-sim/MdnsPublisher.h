// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace nassim {

// Announces the simulated unit as "_KESTREL_DC._tcp" through the Avahi
// daemon, with the TXT keys a real unit carries.
class MdnsPublisher
{
public:
    MdnsPublisher();
    ~MdnsPublisher();
    MdnsPublisher(const MdnsPublisher &) = delete;
    MdnsPublisher &operator=(const MdnsPublisher &) = delete;

    // False (with a reason in error()) when no daemon is reachable.
    bool publish(const QString &name, int port, const QList<QPair<QString, QString>> &txt);
    QString error() const { return m_error; }

    struct Private;

private:
    Private *d;
    QString m_error;
};

} // namespace nassim
