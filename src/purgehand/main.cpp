// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Purgehand: deletes the installed files of Ferrylink for Sweepdeck, which
// starts it (through pkexec, as root) and talks to it over its standard input
// and output; nothing listens anywhere else. It takes no arguments and reads
// no environment: where it is installed fixes the prefix, and the manifest
// there fixes what it may delete.
//
// Protocol, one line each way, UTF-8:
//   helper:  "READY 1" once the allow-list is built
//   client:  "remove PATH" (no answer) or "remove-reply PATH"
//   helper:  "OK" or "ERR CODE text" for each remove-reply, and for a line it
//            cannot read
// End of input ends the helper.
#include "PurgeRules.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr size_t kMaxLine = 8192;

void say(const std::string &line)
{
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int fail(const std::string &why)
{
    say("ERR ENOTINSTALLED " + why);
    return 2;
}

std::string ownExecutable()
{
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return {};
    buf[n] = '\0';
    char real[PATH_MAX];
    return realpath(buf, real) ? std::string(real) : std::string();
}

// The manifest, opened without following a link, owned by root or by the
// user the helper runs as, and writable by nobody else.
bool readManifest(const std::string &path, std::string *text)
{
    // Non-blocking: a FIFO planted in its place must not hang the helper
    // (it is refused below as not a regular file).
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {
    };
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode)
        && (st.st_uid == 0 || st.st_uid == geteuid()) && !(st.st_mode & (S_IWGRP | S_IWOTH))
        && st.st_size < 16 * 1024 * 1024;
    std::string out;
    char buf[65536];
    ssize_t n;
    while (ok && (n = read(fd, buf, sizeof buf)) > 0)
        out.append(buf, size_t(n));
    close(fd);
    *text = std::move(out);
    return ok;
}
} // namespace

int main(int argc, char **)
{
    std::signal(SIGPIPE, SIG_IGN);
    umask(077);
    if (argc != 1)
        return fail("takes no arguments");

    // <prefix>/<libexec>/ferrylink/purgehand
    const std::string exe = ownExecutable();
    const std::string tail = std::string("/") + PURGEHAND_DIR + "/purgehand";
    if (exe.size() <= tail.size() || exe.compare(exe.size() - tail.size(), tail.size(), tail) != 0)
        return fail("not in an installed prefix");
    const std::string prefix = exe.substr(0, exe.size() - tail.size());

    std::string manifest;
    if (!readManifest(prefix + "/" + PURGEHAND_MANIFEST, &manifest))
        return fail("no usable manifest of the installed files");
    std::istringstream lines(manifest);
    const purgehand::AllowList allow
        = purgehand::buildAllowList(prefix, lines, PURGEHAND_MANIFEST, PURGEHAND_PRODUCT);
    say("READY 1");

    std::string line, answer;
    bool tooLong = false;
    for (;;) {
        const int c = std::fgetc(stdin);
        if (c == EOF)
            break;
        if (c != '\n') {
            if (line.size() < kMaxLine)
                line.push_back(char(c));
            else
                tooLong = true;
            continue;
        }
        if (tooLong)
            answer = "ERR EINVAL request too long";
        else if (line.find('\0') != std::string::npos)
            answer = "ERR EINVAL malformed request";
        else
            purgehand::handleRequest(allow, line, &answer);
        if (!answer.empty())
            say(answer);
        line.clear();
        tooLong = false;
    }
    return 0;
}
