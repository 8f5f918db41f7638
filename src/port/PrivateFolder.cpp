#include "port/PrivateFolder.h"

#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace port {

namespace {

constexpr const char* kCacheSubfolder = "pendar";

std::string HomeFolder(const EnvLookup& env)
{
    const char* home = env("HOME");
    if (home && *home == '/')
        return home;
    struct passwd pw {};
    struct passwd* found = nullptr;
    std::vector<char> buf(16384);
    if (::getpwuid_r(::geteuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir &&
        *found->pw_dir == '/')
        return found->pw_dir;
    return {};
}

std::string WithoutSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

bool IsPrivateFolder(const std::string& path, std::string* why)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        *why = "cannot look at " + path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        *why = path + " is not a folder";
        return false;
    }
    if (st.st_uid != ::geteuid()) {
        *why = path + " belongs to another user";
        return false;
    }
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        *why = path + " may be written by other users";
        return false;
    }
    return true;
}

std::optional<PrivateFolder> FindPrivateFolder(const EnvLookup& env, std::string* why)
{
    PrivateFolder found;
    const char* runtime = env("XDG_RUNTIME_DIR");
    if (runtime && *runtime == '/') {
        std::string path = WithoutSlash(runtime);
        std::string notPrivate;
        if (IsPrivateFolder(path, &notPrivate)) {
            found.path = path;
            return found;
        }
        found.notice = "XDG_RUNTIME_DIR is not used: " + notPrivate;
    }

    const char* cacheHome = env("XDG_CACHE_HOME");
    std::string cache;
    if (cacheHome && *cacheHome == '/') {
        cache = WithoutSlash(cacheHome);
    } else {
        std::string home = HomeFolder(env);
        if (home.empty()) {
            *why = "there is neither a runtime folder nor a home folder";
            return std::nullopt;
        }
        cache = WithoutSlash(home) + "/.cache";
    }
    if (!MakeFolders(cache)) {
        *why = "cannot make the folder " + cache;
        return std::nullopt;
    }
    found.path = cache + "/" + kCacheSubfolder;
    if (::mkdir(found.path.c_str(), 0700) != 0 && errno != EEXIST) {
        *why = "cannot make " + found.path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (!IsPrivateFolder(found.path, why))
        return std::nullopt;
    return found;
}

} // namespace port
