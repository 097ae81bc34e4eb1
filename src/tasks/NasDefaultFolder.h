#pragma once

#include <QString>

#include <functional>
#include <memory>

class QObject;
class QWidget;

namespace flk {

class CgiCtrl;
class KSTProgressHUDHelper;

// Reads the NAS default download folder ("default_dl_dir" of the user's
// preferences) under an overlay over `over`. `done` runs on the GUI thread
// while `context` lives, with "" when the request failed or has no folder.
void fetchNasDefaultFolder(KSTProgressHUDHelper *hud, QWidget *over,
    std::shared_ptr<CgiCtrl> client, QObject *context, std::function<void(const QString &)> done);

} // namespace flk
