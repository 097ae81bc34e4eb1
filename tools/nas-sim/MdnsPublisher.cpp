// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "MdnsPublisher.h"

#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/error.h>
#include <avahi-common/strlst.h>
#include <avahi-common/thread-watch.h>

#include <QByteArray>
#include <QMutex>
#include <QWaitCondition>

namespace nassim {

struct MdnsPublisher::Private {
    AvahiThreadedPoll *poll = nullptr;
    AvahiClient *client = nullptr;
    AvahiEntryGroup *group = nullptr;
    QMutex mutex;
    QWaitCondition settled;
    int state = -1; // 1 established, 0 failed
};

namespace {
void groupCallback(AvahiEntryGroup *, AvahiEntryGroupState state, void *userdata)
{
    auto *d = static_cast<MdnsPublisher::Private *>(userdata);
    if (state == AVAHI_ENTRY_GROUP_ESTABLISHED || state == AVAHI_ENTRY_GROUP_COLLISION
        || state == AVAHI_ENTRY_GROUP_FAILURE) {
        QMutexLocker lock(&d->mutex);
        d->state = state == AVAHI_ENTRY_GROUP_ESTABLISHED ? 1 : 0;
        d->settled.wakeAll();
    }
}
void clientCallback(AvahiClient *, AvahiClientState, void *) { }
} // namespace

MdnsPublisher::MdnsPublisher() : d(new Private) { }

MdnsPublisher::~MdnsPublisher()
{
    if (d->poll)
        avahi_threaded_poll_stop(d->poll);
    if (d->client)
        avahi_client_free(d->client);
    if (d->poll)
        avahi_threaded_poll_free(d->poll);
    delete d;
}

bool MdnsPublisher::publish(
    const QString &name, int port, const QList<QPair<QString, QString>> &txt)
{
    d->poll = avahi_threaded_poll_new();
    int error = 0;
    d->client = avahi_client_new(
        avahi_threaded_poll_get(d->poll), AvahiClientFlags(0), clientCallback, d, &error);
    if (!d->client) {
        m_error = QString::fromUtf8(avahi_strerror(error));
        return false;
    }
    AvahiStringList *list = nullptr;
    for (const auto &[k, v] : txt)
        list = avahi_string_list_add_pair(list, k.toUtf8().constData(), v.toUtf8().constData());
    d->group = avahi_entry_group_new(d->client, groupCallback, d);
    const int rc = d->group ? avahi_entry_group_add_service_strlst(d->group, AVAHI_IF_UNSPEC,
                       AVAHI_PROTO_INET, AvahiPublishFlags(0), name.toUtf8().constData(),
                       "_KESTREL_DC._tcp", nullptr, nullptr, uint16_t(port), list)
                            : AVAHI_ERR_FAILURE;
    avahi_string_list_free(list);
    if (rc < 0 || avahi_entry_group_commit(d->group) < 0) {
        m_error = QString::fromUtf8(avahi_strerror(avahi_client_errno(d->client)));
        return false;
    }
    avahi_threaded_poll_start(d->poll);
    QMutexLocker lock(&d->mutex);
    if (d->state < 0)
        d->settled.wait(&d->mutex, 10000);
    if (d->state != 1) {
        m_error = QStringLiteral("the service could not be registered");
        return false;
    }
    return true;
}

} // namespace nassim
