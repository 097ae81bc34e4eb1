// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// One harness for every reader of data from outside: the NAS's replies (the
// task list on both of its decoding paths, task details, preferences and
// schedule, sign-in), the defaults file and torrent files. FUZZ_ONE names the
// reader a target exercises; libFuzzer drives it, or the replay driver runs
// a corpus through it in an ordinary build.
#include "NasState.h"
#include "TorrentFile.h"

#include "api/CgiCtrl.h"
#include "api/TransportErrors.h"
#include "preferences/PreferenceController.h"
#include "preferences/ScheduleGrid.h"
#include "servers/DefaultsStore.h"
#include "servers/FavoriteManager.h"
#include "servers/FavoriteObject.h"
#include "tasks/TaskDetails.h"
#include "tasks/TaskListModel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace flk;

namespace {

// A reader's finding: the invariant that broke, then a crash the fuzzer sees.
[[noreturn]] void broken(const char *what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

std::optional<QJsonObject> object(const QByteArray &data)
{
    QJsonObject o;
    if (parseBody(data, &o) != 0)
        return std::nullopt;
    return o;
}

// Both decoding paths of the task list read the same rows.
[[maybe_unused]] void fuzzTaskList(const QByteArray &data)
{
    TaskListSnapshot fast;
    const std::optional<QJsonObject> envelope = TaskListModel::decodeBody(data, &fast, {});
    const std::optional<QJsonObject> reply = object(data);
    // Every list Qt's parser reads, the fast path reads too. The other way
    // round is allowed: Qt refuses some valid JSON (a number too small for a
    // double, such as 1.5e-0789, which simdjson reads as 0).
    if (!envelope && reply)
        broken("the fast path refuses a list Qt's parser reads");
    if (!reply) {
        if (envelope) {
            TaskListModel model;
            model.apply(std::move(fast));
        }
        return;
    }
    const TaskListSnapshot slow = TaskListModel::decode(*reply);
    if (fast.rows.size() != slow.rows.size())
        broken("the two paths read a different number of rows");
    for (qsizetype i = 0; i < fast.rows.size(); ++i) {
        if (fast.rows[i].key() != slow.rows[i].key())
            broken("the two paths give a row different keys");
        if (fast.rows[i]->cells != slow.rows[i]->cells)
            broken("the two paths show a row differently");
    }
    if (fast.totalDownload != slow.totalDownload || fast.counts != slow.counts)
        broken("the two paths read different totals");
    // A second poll of the same body, sharing texts with the first.
    TaskListSnapshot again;
    TaskListModel::decodeBody(data, &again, fast.rows);
    if (again.rows.size() != fast.rows.size())
        broken("a repeated poll reads a different list");
    TaskListModel model;
    model.apply(std::move(fast));
    model.idStringFromType({ 0, 1, 2 }, QStringLiteral("BT"));
}

[[maybe_unused]] void fuzzDetails(const QByteArray &data)
{
    const std::optional<QJsonObject> reply = object(data);
    if (!reply)
        return;
    for (const char *key : { "tracker_id", "url", "peers" }) {
        TaskDetails d = TaskDetails::decode(*reply, QString::fromLatin1(key), "asc", nullptr);
        TaskDetails::sortTrackers(d.trackers, QString::fromLatin1(key), "desc");
    }
}

[[maybe_unused]] void fuzzPreferences(const QByteArray &data)
{
    const std::optional<QJsonObject> reply = object(data);
    if (!reply)
        return;
    const QVariantMap values = PreferenceController::readValues(*reply, *reply, {});
    if (values.size() != PreferenceController::fields().size())
        broken("a preference field went missing");
    ScheduleGrid grid;
    grid.fromRecord(*reply);
    for (int row = 0; row < ScheduleGrid::kRows; ++row)
        if (grid.dayString(row).count(QLatin1Char(',')) != ScheduleGrid::kColumns - 1)
            broken("a schedule day is not 24 values");
}

[[maybe_unused]] void fuzzLogin(const QByteArray &data)
{
    const std::optional<QJsonObject> reply = object(data);
    if (!reply)
        return;
    const auto read = CgiCtrl::readLoginReply(*reply);
    if (read && read->sid.isEmpty())
        broken("a sign-in without a session id was taken");
}

[[maybe_unused]] void fuzzDefaults(const QByteArray &data)
{
    const std::optional<QJsonObject> stored = DefaultsStore::parse(data);
    if (!stored)
        return;
    const auto records
        = FavoriteManager::recordsFrom(stored->value(QLatin1String(kDefaultsFavoritesKey)));
    for (const auto &r : records) {
        r->host();
        r->port();
        r->account();
        r->isDefault();
        r->enableHttps();
        r->isCloudID();
    }
    // Merging with itself and with nothing changes nothing it should not.
    if (DefaultsStore::merge(*stored, *stored, *stored) != *stored)
        broken("merging a file with itself changed it");
    DefaultsStore::merge({}, *stored, {});
}

[[maybe_unused]] void fuzzTorrent(const QByteArray &data)
{
    const auto torrent = nassim::TorrentFile::parse(data);
    if (!torrent)
        return;
    if (torrent->files.isEmpty())
        broken("a torrent without files was taken");
    for (const auto &f : torrent->files)
        if (f.length < 0)
            broken("a file of negative length was taken");
}

void quiet(QtMsgType, const QMessageLogContext &, const QString &) { }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool silenced = [] {
        qInstallMessageHandler(quiet);
        return true;
    }();
    Q_UNUSED(silenced);
    FUZZ_ONE(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
