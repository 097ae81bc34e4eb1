// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "PurgeRules.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace purgehand {

namespace {
std::vector<std::string_view> components(std::string_view path)
{
    std::vector<std::string_view> out;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = path.find('/', start);
        const size_t stop = end == std::string_view::npos ? path.size() : end;
        out.push_back(path.substr(start, stop - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return out;
}

bool hasControl(std::string_view s)
{
    for (unsigned char c : s)
        if (c < 0x20 || c == 0x7f)
            return true;
    return false;
}

// Closes a descriptor when it goes.
struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) { }
    ~Fd()
    {
        if (fd >= 0)
            close(fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
};
} // namespace

bool isCleanRelative(std::string_view rel)
{
    if (rel.empty() || rel.front() == '/' || hasControl(rel))
        return false;
    for (std::string_view c : components(rel))
        if (c.empty() || c == "." || c == "..")
            return false;
    return true;
}

AllowList buildAllowList(const std::string &prefix, std::istream &manifest,
    const std::string &manifestRel, const std::string &product)
{
    AllowList allow;
    allow.prefix = prefix;
    // "/" becomes "", so every path is the prefix, "/" and the entry.
    while (!allow.prefix.empty() && allow.prefix.back() == '/')
        allow.prefix.pop_back();
    auto add = [&](std::string_view rel) {
        if (!isCleanRelative(rel))
            return;
        allow.files.insert(allow.prefix + "/" + std::string(rel));
        // The product's own folders: from the first one named after it down
        // to the file's folder.
        const std::vector<std::string_view> parts = components(rel);
        std::string path = allow.prefix;
        bool own = false;
        for (size_t i = 0; i + 1 < parts.size(); ++i) {
            path += "/";
            path += parts[i];
            own = own || parts[i] == product;
            if (own)
                allow.folders.insert(path);
        }
    };
    std::string line;
    while (std::getline(manifest, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        add(line);
    }
    add(manifestRel);
    return allow;
}

Verdict checkPath(const AllowList &allow, std::string_view path)
{
    if (path.empty() || hasControl(path))
        return Verdict::Malformed;
    if (path.front() != '/')
        return Verdict::Relative;
    for (std::string_view c : components(path.substr(1)))
        if (c == "." || c == "..")
            return Verdict::DotComponent;
    const std::string p(path);
    if (allow.files.count(p))
        return Verdict::File;
    if (allow.folders.count(p))
        return Verdict::Folder;
    return Verdict::NotListed;
}

int removeNoFollow(const std::string &path, bool folder)
{
    if (path.size() < 2 || path.front() != '/')
        return EINVAL;
    const std::vector<std::string_view> parts = components(std::string_view(path).substr(1));
    Fd dir(open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd < 0)
        return errno;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        const std::string name(parts[i]);
        // A link (or anything but a folder) on the way stops here.
        const int next
            = openat(dir.fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            const int error = errno;
            if (error != ENOTDIR && error != ELOOP)
                return error;
            // Either a link (not followed) or a plain file where a folder
            // belongs: say which.
            struct stat st {
            };
            if (fstatat(dir.fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0
                && !S_ISLNK(st.st_mode))
                return ENOTDIR;
            return ELOOP;
        }
        close(dir.fd);
        dir.fd = next;
    }
    const std::string last(parts.back());
    struct stat st {
    };
    if (fstatat(dir.fd, last.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    if (S_ISDIR(st.st_mode) != folder)
        return folder ? ENOTDIR : EISDIR;
    if (unlinkat(dir.fd, last.c_str(), folder ? AT_REMOVEDIR : 0) != 0)
        return errno == EEXIST ? ENOTEMPTY : errno;
    return 0;
}

std::string errnoName(int error)
{
    switch (error) {
    case ENOENT:
        return "ENOENT";
    case ENOTEMPTY:
        return "ENOTEMPTY";
    case EACCES:
        return "EACCES";
    case EPERM:
        return "EPERM";
    case ELOOP:
        return "ELOOP";
    case EISDIR:
        return "EISDIR";
    case ENOTDIR:
        return "ENOTDIR";
    case EBUSY:
        return "EBUSY";
    case EROFS:
        return "EROFS";
    case EINVAL:
        return "EINVAL";
    default:
        return "E" + std::to_string(error);
    }
}

void handleRequest(const AllowList &allow, std::string_view line, std::string *answer)
{
    answer->clear();
    static constexpr std::string_view kOneWay = "remove ", kReply = "remove-reply ";
    bool reply;
    std::string_view path;
    if (line.substr(0, kReply.size()) == kReply) {
        reply = true;
        path = line.substr(kReply.size());
    } else if (line.substr(0, kOneWay.size()) == kOneWay) {
        reply = false;
        path = line.substr(kOneWay.size());
    } else {
        *answer = "ERR EINVAL unknown request";
        return;
    }
    auto refuse = [&](const char *why) {
        if (reply)
            *answer = std::string("ERR EPERM ") + why;
    };
    const Verdict verdict = checkPath(allow, path);
    switch (verdict) {
    case Verdict::Malformed:
        return refuse("malformed path");
    case Verdict::Relative:
        return refuse("relative path");
    case Verdict::DotComponent:
        return refuse("path with . or ..");
    case Verdict::NotListed:
        return refuse("not an installed file of this product");
    case Verdict::File:
    case Verdict::Folder: {
        const int error = removeNoFollow(std::string(path), verdict == Verdict::Folder);
        if (!reply)
            return;
        if (error == 0)
            *answer = "OK";
        else if (error == ELOOP)
            *answer = "ERR ELOOP a folder on its path is a symbolic link; not followed";
        else if (error == ENOTDIR)
            *answer = "ERR ENOTDIR a file stands where a folder belongs; left alone";
        else if (error == EISDIR)
            *answer = "ERR EISDIR a folder stands where a file belongs; left alone";
        else
            *answer = "ERR " + errnoName(error) + " " + std::strerror(error);
        return;
    }
    }
}

} // namespace purgehand
