// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// nas-sim: a simulated NAS for Ferrylink's tests and demo.
#include "MdnsPublisher.h"
#include "NasServer.h"
#include "NasState.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
int g_signalPipe[2];
void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] auto n = ::write(g_signalPipe[1], &c, 1);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nas-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated NAS download service"));
    parser.addHelpOption();
    QCommandLineOption host({ QStringLiteral("host") }, QStringLiteral("Loopback address."),
        QStringLiteral("addr"), QStringLiteral("127.0.0.1"));
    QCommandLineOption port({ QStringLiteral("port") }, QStringLiteral("HTTP port (0: any)."),
        QStringLiteral("n"), QStringLiteral("8000"));
    QCommandLineOption httpsPort({ QStringLiteral("https-port") },
        QStringLiteral("HTTPS port (0: any, -1: none)."), QStringLiteral("n"),
        QStringLiteral("8001"));
    QCommandLineOption logFile({ QStringLiteral("log") },
        QStringLiteral("Append every request as a JSON line to this file."),
        QStringLiteral("file"));
    QCommandLineOption set({ QStringLiteral("set") },
        QStringLiteral("Fault switch name=value (delay_ms, drop, drop_act, "
                       "non_json, status, status_count, app=ok|missing|"
                       "disabled|inaccessible, app_version, kos_version, "
                       "prefs=missing|set)."),
        QStringLiteral("name=value"));
    QCommandLineOption mdns({ QStringLiteral("mdns") },
        QStringLiteral("Announce the unit on the LAN by mDNS under this name."),
        QStringLiteral("name"));
    parser.addOptions({ host, port, httpsPort, logFile, set, mdns });
    parser.process(app);

    nassim::NasState state;
    nassim::NasServer server(state);
    for (const QString &s : parser.values(set)) {
        const qsizetype eq = s.indexOf(QLatin1Char('='));
        if (eq <= 0 || !server.applyControl(s.left(eq), s.mid(eq + 1))) {
            std::fprintf(stderr, "nas-sim: unknown setting %s\n", qPrintable(s));
            return 2;
        }
    }
    if (parser.isSet(logFile) && !server.setLogFile(parser.value(logFile))) {
        std::fprintf(stderr, "nas-sim: cannot write %s\n", qPrintable(parser.value(logFile)));
        return 2;
    }
    if (!server.start(
            parser.value(host), parser.value(port).toInt(), parser.value(httpsPort).toInt()))
        return 1;

    std::printf("nas-sim: HTTP on %s", qPrintable(server.httpBase()));
    if (server.httpsPort() > 0)
        std::printf(", HTTPS on %s", qPrintable(server.httpsBase()));
    nassim::MdnsPublisher publisher;
    if (parser.isSet(mdns)) {
        const auto id = state.identity();
        const QJsonDocument netif(
            QJsonArray { QJsonObject { { QStringLiteral("name"), QStringLiteral("eth0") },
                { QStringLiteral("mac"), QStringLiteral("02:00:00:5e:10:01") } } });
        const bool ok = publisher.publish(parser.value(mdns), server.httpPort(),
            { { QStringLiteral("hostid"), id.hostId },
                { QStringLiteral("httpport"), QString::number(server.httpPort()) },
                { QStringLiteral("httpsport"), QString::number(server.httpsPort()) },
                { QStringLiteral("httpenabled"), QStringLiteral("1") },
                { QStringLiteral("httpsenabled"), QStringLiteral("0") },
                { QStringLiteral("httpsonly"), QStringLiteral("0") },
                { QStringLiteral("model"), id.model },
                { QStringLiteral("serialnumber"), QStringLiteral("SIM0000001") },
                { QStringLiteral("version"), id.kosVersion },
                { QStringLiteral("wol"), QStringLiteral("0") },
                { QStringLiteral("canSuspend"), QStringLiteral("0") },
                { QStringLiteral("netif"),
                    QString::fromUtf8(netif.toJson(QJsonDocument::Compact)) } });
        if (ok)
            std::printf("\nnas-sim: announced as %s on the LAN", qPrintable(parser.value(mdns)));
        else
            std::printf("\nnas-sim: not announced on the LAN (%s)", qPrintable(publisher.error()));
    }
    std::printf("\nnas-sim: accounts admin/admin (administrator), guest/guest, disabled/disabled, "
                "expired/expired\n");
    std::fflush(stdout);

    if (::pipe(g_signalPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    }
    const int rc = app.exec();
    server.stop();
    return rc;
}
