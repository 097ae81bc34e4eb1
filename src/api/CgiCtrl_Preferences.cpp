// Preference operations of CgiCtrl.
#include "CgiCtrl.h"

#include "CgiOperations.h"

namespace flk {

CgiCtrl::Reply CgiCtrl::get_User_Preference(Error *error)
{
    Error err;
    Reply reply = send_Request(QString::fromLatin1(kCgiPathBtdlm), QStringLiteral("get-user-pref"),
        std::nullopt, kCgiGetUserPref, &err);
    setError(error, err);
    return err.isError() ? std::nullopt : reply;
}

} // namespace flk
