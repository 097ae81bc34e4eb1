// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

// Operation numbers ("cgi_id") and CGI paths of the NAS API.
namespace flk {

enum CgiOperation : int {
    kCgiNone = 0,
    kCgiLogin = 1,
    kCgiLogout = 2,
    kCgiRevive = 3,
    kCgiCheckAppStatus = 7,
    kCgiCheckAppAccessible = 8,
    kCgiTorrentList = 9,
    kCgiTorrentInfo = 10,
    kCgiMultiTorrentUpload = 11,
    kCgiTorrentAddUrl = 12,
    kCgiTorrentAdd = 13,
    kCgiTorrentSet = 14,
    kCgiTorrentRemove = 15,
    kCgiTorrentStart = 16,
    kCgiTorrentStop = 17,
    kCgiTorrentQueue = 18,
    kCgiGetUserPref = 19,
    kCgiSetPref = 20,
    kCgiSchedulerGet = 21,
    kCgiSchedulerSet = 22,
    kCgiSetUserInitialPref = 23,
    kCgiTrackerAdd = 24,
    kCgiTrackerRemove = 25,
    kCgiDownloadAdd = 26,
    kCgiDownloadDelete = 27,
    kCgiDownloadStart = 28,
    kCgiDownloadStop = 29,
    kCgiSearchIndex = 30,
    kCgiSearchCategory = 31,
    kCgiSearchDelete = 32,
    kCgiSearchRequest = 33,
    kCgiSearchResponse = 34,
    kCgiSearchSiteList = 35,
    kCgiSearchSiteEnable = 36,
    // The plug-in upload carries no number on the wire; the client judges
    // its reply under this one.
    kCgiSearchEngineAdd = 37,
    kCgiSearchEngineDelete = 38,
    kCgiSearchEngineGet = 39,
    kCgiSearchEngineSet = 40,
    kCgiSearchEngineTestAccount = 41,
    kCgiRssFeedList = 42,
    kCgiRssFeedAdd = 43,
    kCgiRssFeedEdit = 44,
    kCgiRssFeedDelete = 45,
    kCgiRssFeedUpdate = 46,
    kCgiRssItemList = 47,
    kCgiRssFilterList = 48,
    kCgiRssFilterAdd = 49,
    kCgiRssFilterEdit = 50,
    kCgiRssFilterDelete = 51,
    kCgiGetTree = 52,
    kCgiCreateDir = 53,
};

inline constexpr const char *kCgiPathLogin = "/portal/apis/login.cgi";
inline constexpr const char *kCgiPathAppDepot = "/portal/apis/appDepot/appdepot.cgi";
inline constexpr const char *kCgiPathPrivilege = "/portal/apis/appDepot/privilege.cgi";
inline constexpr const char *kCgiPathBtdlm = "/apps/haulhouse/btdlm.cgi";
inline constexpr const char *kCgiPathUpload = "/apps/haulhouse/upload.cgi";
inline constexpr const char *kCgiPathBtsearch = "/apps/haulhouse/btsearch.cgi";
inline constexpr const char *kCgiPathFileExplorer = "/portal/apis/fileExplorer/fileExplorer.cgi";

// The NAS download application the client requires.
inline constexpr const char *kAppPackageName = "haulhouse";
inline constexpr const char *kAppDisplayName = "Haulhouse";

} // namespace flk
