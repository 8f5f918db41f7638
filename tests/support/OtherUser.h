// The second user ("nobody") for tests where ownership matters: root reads
// and writes every file, so the cases that need a foreign owner give files
// to nobody, or run the program as nobody.
#pragma once

#include <cstdio>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace pendar::test {

struct OtherUser {
    uid_t uid;
    gid_t gid;
};

// Nobody's ids, when this process may hand files to it (runs as root).
inline std::optional<OtherUser> Nobody()
{
    if (::geteuid() != 0)
        return std::nullopt;
    const struct passwd* pw = ::getpwnam("nobody");
    if (!pw)
        return std::nullopt;
    return OtherUser{pw->pw_uid, pw->pw_gid};
}

// Makes `path` (not followed) nobody's; false when that is not possible.
inline bool GiveToNobody(const std::string& path)
{
    std::optional<OtherUser> n = Nobody();
    return n && ::lchown(path.c_str(), n->uid, n->gid) == 0;
}

// A case of a table that needs nobody is passed over, with a line saying
// so, when this process may not hand files to nobody.
inline bool SkipWithoutNobody(bool needed, const char* what)
{
    if (!needed || Nobody())
        return false;
    std::printf("skipped without root: %s\n", what);
    return true;
}

// In a child process about to exec: become nobody for good.
inline bool BecomeNobody()
{
    std::optional<OtherUser> n = Nobody();
    return n && ::setgroups(0, nullptr) == 0 && ::setgid(n->gid) == 0 && ::setuid(n->uid) == 0;
}

} // namespace pendar::test
