#include "NasDefaultFolder.h"

#include "api/CgiCtrl.h"
#include "api/JsonUtil.h"
#include "app/KSTProgressHUDHelper.h"

#include <QPointer>

namespace flk {

void fetchNasDefaultFolder(KSTProgressHUDHelper *hud, QWidget *over,
    std::shared_ptr<CgiCtrl> client, QObject *context, std::function<void(const QString &)> done)
{
    if (!client)
        return;
    auto folder = std::make_shared<QString>();
    QPointer<QObject> alive(context);
    hud->show_HUD(
        [client, folder] {
            Error e;
            const auto prefs = client->get_User_Preference(&e);
            if (prefs && !e.isError())
                *folder = json::stringValue(*prefs, u"default_dl_dir");
        },
        over,
        [alive, folder, done] {
            if (alive)
                done(*folder);
        });
}

} // namespace flk
