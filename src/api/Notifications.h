// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

// Names of the notifications panes, hosts and the request layer exchange.
namespace flk {

inline constexpr const char *kNOTIFY_RE_LOGIN_FAVORITE = "kNOTIFY_RE_LOGIN_FAVORITE";
inline constexpr const char *kNOTIFY_LOGIN_FAVORITE_FAIL = "kNOTIFY_LOGIN_FAVORITE_FAIL";
inline constexpr const char *kNOTIFY_OPEN_WITH_TORRENT = "kNOTIFY_OPEN_WITH_TORRENT";
inline constexpr const char *kNOTIFY_FEATURE_ACTIVED = "kNOTIFY_FEATURE_ACTIVED";
inline constexpr const char *kNOTIFY_DOWNLOAD_CATEGORY_CHANGED
    = "kNOTIFY_DOWNLOAD_CATEGORY_CHANGED";
inline constexpr const char *kNOTIFY_DOWNLOAD_ENTRY_UPDATED = "kNOTIFY_DOWNLOAD_ENTRY_UPDATED";
inline constexpr const char *kNOTIFY_DOWNLOAD_REFRESH_ITEMS = "kNOTIFY_DOWNLOAD_REFRESH_ITEMS";
inline constexpr const char *kNOTIFY_RSS_FEED_CHANGED = "kNOTIFY_RSS_FEED_CHANGED";
inline constexpr const char *kNOTIFY_RSS_FEED_LIST_UPDATED = "kNOTIFY_RSS_FEED_LIST_UPDATED";
inline constexpr const char *kNOTIFY_SEARCH_KEY_CHANGED = "kNOTIFY_SEARCH_KEY_CHANGED";

// The feature pages of a host, by the number kNOTIFY_FEATURE_ACTIVED
// carries under "feature" (the identifiers of the host's tab view).
enum Feature : uint {
    kFeatureDownloads = 0,
    kFeatureSearch = 1,
    kFeatureRSSFeeds = 2,
    kFeatureRSSItems = 3,
};

} // namespace flk
