// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

// What the removal helper may delete and how it deletes it. Plain C++ (no
// Qt): the helper runs as root and stays small.
//
// The helper deletes only paths on an allow-list it builds itself from the
// installed manifest under its own prefix: the files the install step put
// there (relative paths, each checked), the manifest itself, and the
// product's own folders (those at or below a folder named after the product,
// such as share/ferrylink), which are removed only when empty. Nothing is
// ever deleted recursively, and no symbolic link is followed on the way:
// every folder of a path is opened with O_NOFOLLOW from "/", and the last
// name is unlinked in the folder so opened, so a link is removed as a link.

#include <istream>
#include <set>
#include <string>
#include <string_view>

namespace purgehand {

struct AllowList {
    std::string prefix; // canonical, no trailing slash
    std::set<std::string> files; // absolute
    std::set<std::string> folders; // absolute; removed only when empty
};

// A manifest entry: relative, non-empty components, no "." or "..", no NUL
// or control characters.
bool isCleanRelative(std::string_view rel);

// Builds the allow-list from the manifest's lines (paths relative to the
// prefix); lines that are not clean are ignored. product names the folders
// that are the product's own ("ferrylink").
AllowList buildAllowList(const std::string &prefix, std::istream &manifest,
    const std::string &manifestRel, const std::string &product);

enum class Verdict { File, Folder, Relative, DotComponent, Malformed, NotListed };
Verdict checkPath(const AllowList &allow, std::string_view path);

// Removes path without following links: a file or link with unlink, a folder
// (folder true) with rmdir. Returns 0 or the errno of the failing step.
int removeNoFollow(const std::string &path, bool folder);

// One request line (without its newline) to its answer. "remove PATH" is
// one-way (nothing to answer: *answer stays empty); "remove-reply PATH"
// answers "OK" or "ERR CODE text".
void handleRequest(const AllowList &allow, std::string_view line, std::string *answer);

// The symbolic name of an errno value ("ENOENT"), or "E<number>".
std::string errnoName(int error);

} // namespace purgehand
