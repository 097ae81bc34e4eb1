// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "NotificationCenter.h"

#include <algorithm>

namespace flk {

NotificationCenter *NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return &center;
}

void NotificationCenter::track(QObject *object)
{
    // Caller holds m_mutex.
    if (!object || m_tracked.contains(object))
        return;
    m_tracked.insert(
        object, QObject::connect(object, &QObject::destroyed, [this, object] { forget(object); }));
}

void NotificationCenter::forget(QObject *object)
{
    QMutexLocker lock(&m_mutex);
    std::erase_if(m_observations,
        [object](const Observation &o) { return o.observer == object || o.sender == object; });
    m_tracked.remove(object);
}

void NotificationCenter::addObserver(
    const QString &name, QObject *observer, Callback callback, QObject *sender)
{
    if (!observer || !callback)
        return;
    QMutexLocker lock(&m_mutex);
    track(observer);
    track(sender);
    m_observations.push_back(Observation { m_nextId++, name, observer, QPointer<QObject>(observer),
        sender, std::make_shared<Callback>(std::move(callback)) });
}

void NotificationCenter::removeObserver(QObject *observer, const QString &name)
{
    QMutexLocker lock(&m_mutex);
    std::erase_if(m_observations, [&](const Observation &o) {
        return o.observer == observer && (name.isEmpty() || o.name == name);
    });
    const bool stillObserving = std::any_of(
        m_observations.begin(), m_observations.end(), [observer](const Observation &o) {
            return o.observer == observer || o.sender == observer;
        });
    if (!stillObserving) {
        const auto it = m_tracked.find(observer);
        if (it != m_tracked.end()) {
            QObject::disconnect(it.value());
            m_tracked.erase(it);
        }
    }
}

int NotificationCenter::observationCount() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_observations.size());
}

void NotificationCenter::post(const QString &name, QObject *sender, const QVariantMap &userInfo)
{
    std::vector<std::pair<quint64, std::shared_ptr<Callback>>> targets;
    {
        QMutexLocker lock(&m_mutex);
        for (const auto &o : m_observations) {
            if (o.name == name && (!o.sender || o.sender == sender))
                targets.emplace_back(o.id, o.callback);
        }
    }
    const Notification note { name, sender, userInfo };
    for (const auto &[id, callback] : targets) {
        // An earlier callback may have removed this observation (or destroyed
        // its observer): deliver only to observations still registered.
        bool alive = false;
        {
            QMutexLocker lock(&m_mutex);
            alive = std::any_of(m_observations.begin(), m_observations.end(),
                [id = id](const Observation &o) { return o.id == id && o.observerGuard; });
        }
        if (alive)
            (*callback)(note);
    }
}

} // namespace flk
