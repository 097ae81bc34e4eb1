// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRecursiveMutex>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <vector>

namespace flk {

struct Notification {
    QString name;
    QObject *sender = nullptr;
    QVariantMap userInfo;
};

// Process-wide dispatcher of named notifications. Delivery is synchronous on
// the posting thread. An observation may name the one sender it listens to;
// it ends when its observer (or the sender it names) is destroyed.
class NotificationCenter
{
public:
    using Callback = std::function<void(const Notification &)>;

    static NotificationCenter *defaultCenter();

    void post(const QString &name, QObject *sender = nullptr, const QVariantMap &userInfo = {});
    void addObserver(
        const QString &name, QObject *observer, Callback callback, QObject *sender = nullptr);
    // Removes the observer's observations of name (of every name when empty).
    void removeObserver(QObject *observer, const QString &name = {});
    int observationCount() const;

private:
    struct Observation {
        quint64 id;
        QString name;
        QObject *observer;
        QPointer<QObject> observerGuard;
        QObject *sender;
        std::shared_ptr<Callback> callback;
    };

    void forget(QObject *object);
    void track(QObject *object);

    mutable QRecursiveMutex m_mutex;
    std::vector<Observation> m_observations;
    QHash<QObject *, QMetaObject::Connection> m_tracked;
    quint64 m_nextId = 1;
};

} // namespace flk
