// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "ServiceDiscovery.h"

#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/address.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>
#include <avahi-common/thread-watch.h>

#include <QCoreApplication>
#include <QPointer>

namespace flk {

struct AvahiServiceDiscovery::Private {
    QPointer<AvahiServiceDiscovery> owner;
    AvahiThreadedPoll *poll = nullptr;
    AvahiClient *client = nullptr;
    QList<AvahiServiceBrowser *> browsers;
    bool started = false;

    void post(std::function<void(AvahiServiceDiscovery *)> fn)
    {
        QPointer<AvahiServiceDiscovery> o = owner;
        QMetaObject::invokeMethod(
            qApp,
            [o, fn] {
                if (o)
                    fn(o);
            },
            Qt::QueuedConnection);
    }
};

namespace {

QString withDot(const char *type)
{
    QString t = QString::fromUtf8(type);
    return t.endsWith(QLatin1Char('.')) ? t : t + QLatin1Char('.');
}

void resolveCallback(AvahiServiceResolver *r, AvahiIfIndex, AvahiProtocol, AvahiResolverEvent event,
    const char *name, const char *type, const char *, const char *, const AvahiAddress *address,
    uint16_t, AvahiStringList *txt, AvahiLookupResultFlags, void *userdata)
{
    auto *d = static_cast<AvahiServiceDiscovery::Private *>(userdata);
    if (event == AVAHI_RESOLVER_FOUND) {
        ResolvedService s;
        s.name = QString::fromUtf8(name);
        s.type = withDot(type);
        for (AvahiStringList *l = txt; l; l = avahi_string_list_get_next(l)) {
            char *key = nullptr, *value = nullptr;
            size_t size = 0;
            if (avahi_string_list_get_pair(l, &key, &value, &size) == 0) {
                s.txt.append(
                    { QByteArray(key), value ? QByteArray(value, qsizetype(size)) : QByteArray() });
                avahi_free(key);
                avahi_free(value);
            }
        }
        if (address && address->proto == AVAHI_PROTO_INET) {
            char text[AVAHI_ADDRESS_STR_MAX];
            avahi_address_snprint(text, sizeof text, address);
            s.ipv4Addresses << QString::fromLatin1(text);
        }
        d->post([s](AvahiServiceDiscovery *o) { emit o->serviceResolved(s); });
    }
    // Found or failed (including avahi's own time-out): the resolver is done.
    avahi_service_resolver_free(r);
}

void browseCallback(AvahiServiceBrowser *b, AvahiIfIndex interface, AvahiProtocol protocol,
    AvahiBrowserEvent event, const char *name, const char *type, const char *domain,
    AvahiLookupResultFlags, void *userdata)
{
    auto *d = static_cast<AvahiServiceDiscovery::Private *>(userdata);
    switch (event) {
    case AVAHI_BROWSER_NEW:
        if (!avahi_service_resolver_new(avahi_service_browser_get_client(b), interface, protocol,
                name, type, domain, AVAHI_PROTO_INET, AvahiLookupFlags(0), resolveCallback, d))
            qInfo("LAN discovery: cannot resolve %s: %s", name,
                avahi_strerror(avahi_client_errno(avahi_service_browser_get_client(b))));
        break;
    case AVAHI_BROWSER_REMOVE: {
        const QString n = QString::fromUtf8(name), t = withDot(type);
        d->post([n, t](AvahiServiceDiscovery *o) { emit o->serviceRemoved(n, t); });
        break;
    }
    case AVAHI_BROWSER_FAILURE:
        qInfo("LAN discovery: browsing failed: %s",
            avahi_strerror(avahi_client_errno(avahi_service_browser_get_client(b))));
        break;
    default:
        break;
    }
}

void clientCallback(AvahiClient *, AvahiClientState state, void *)
{
    if (state == AVAHI_CLIENT_FAILURE)
        qInfo("LAN discovery: the Avahi daemon went away");
}

} // namespace

AvahiServiceDiscovery::AvahiServiceDiscovery(QObject *parent)
    : ServiceDiscovery(parent), d(new Private)
{
    d->owner = this;
}

AvahiServiceDiscovery::~AvahiServiceDiscovery()
{
    stop();
    delete d;
}

bool AvahiServiceDiscovery::browse(const QString &type)
{
    if (!d->poll) {
        d->poll = avahi_threaded_poll_new();
        if (!d->poll) {
            qInfo("LAN discovery is not available: cannot create a poll");
            return false;
        }
        int error = 0;
        d->client = avahi_client_new(
            avahi_threaded_poll_get(d->poll), AvahiClientFlags(0), clientCallback, d, &error);
        if (!d->client) {
            qInfo("LAN discovery is not available: %s", avahi_strerror(error));
            avahi_threaded_poll_free(d->poll);
            d->poll = nullptr;
            return false;
        }
    }
    QByteArray t = type.toUtf8();
    if (t.endsWith('.'))
        t.chop(1);
    if (d->started)
        avahi_threaded_poll_lock(d->poll);
    AvahiServiceBrowser *b = avahi_service_browser_new(d->client, AVAHI_IF_UNSPEC,
        AVAHI_PROTO_UNSPEC, t.constData(), nullptr, AvahiLookupFlags(0), browseCallback, d);
    if (b)
        d->browsers << b;
    else
        qInfo("LAN discovery: cannot browse %s: %s", t.constData(),
            avahi_strerror(avahi_client_errno(d->client)));
    if (d->started) {
        avahi_threaded_poll_unlock(d->poll);
    } else {
        avahi_threaded_poll_start(d->poll);
        d->started = true;
    }
    return b != nullptr;
}

void AvahiServiceDiscovery::stop()
{
    if (!d->poll)
        return;
    if (d->started)
        avahi_threaded_poll_stop(d->poll);
    // Freeing the client frees its browsers and resolvers.
    avahi_client_free(d->client);
    avahi_threaded_poll_free(d->poll);
    d->client = nullptr;
    d->poll = nullptr;
    d->browsers.clear();
    d->started = false;
}

} // namespace flk
