#include "port/AppFolder.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace port {

namespace {

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string WithSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

std::string XdgFolder(const EnvLookup& env, const char* var, const char* fallback)
{
    const char* v = env(var);
    if (v && *v == '/')
        return WithSlash(v);
    const char* home = env("HOME");
    return WithSlash(std::string(home && *home ? home : "/tmp") + "/" + fallback);
}

// $XDG_DATA_DIRS split at ':', only absolute entries (the XDG rule ignores
// the others), with the rule's default when nothing is left of it.
std::vector<std::string> XdgDataDirs(const EnvLookup& env)
{
    std::vector<std::string> dirs;
    std::string list = env("XDG_DATA_DIRS") ? env("XDG_DATA_DIRS") : "";
    for (size_t start = 0; start <= list.size();) {
        size_t colon = list.find(':', start);
        if (colon == std::string::npos)
            colon = list.size();
        std::string dir = list.substr(start, colon - start);
        if (!dir.empty() && dir.front() == '/')
            dirs.push_back(WithSlash(dir));
        start = colon + 1;
    }
    if (dirs.empty())
        dirs = {"/usr/local/share/", "/usr/share/"};
    return dirs;
}

// The same folder reached by two names (a link, "..") counts once.
std::string Identity(const std::string& folder)
{
    std::error_code ec;
    std::filesystem::path real = std::filesystem::canonical(folder, ec);
    return ec ? std::filesystem::path(folder).lexically_normal().string() : real.string();
}

std::vector<std::string> InstalledShareFolders(const std::string& exe, const EnvLookup& env)
{
    std::vector<std::string> candidates;
    for (const std::string& dir : XdgDataDirs(env))
        candidates.push_back(dir + "pendar/");
    candidates.push_back(exe + "../share/pendar/");
    std::vector<std::string> folders;
    std::set<std::string> seen;
    for (std::string& folder : candidates)
        if (seen.insert(Identity(folder)).second)
            folders.push_back(std::move(folder));
    return folders;
}

} // namespace

AppFolders ResolveAppFolders(const std::string& exeFolder, const EnvLookup& env)
{
    AppFolders f;
    std::string exe = WithSlash(exeFolder);
    bool holdsOurFiles = Exists(exe + "Pendar.ini") || Exists(exe + "Data");
    if (holdsOurFiles && ::access(exe.c_str(), W_OK) == 0) {
        f.portable = true;
        f.settingsFile = exe + "Pendar.ini";
        f.dataFolders = {exe + "Data/"};
        f.shareFolders = {exe};
        return f;
    }
    f.settingsFile = XdgConfigHome(env) + "Pendar/Pendar.ini";
    f.dataFolders = {XdgFolder(env, "XDG_DATA_HOME", ".local/share") + "Pendar/Data/"};
    f.shareFolders = InstalledShareFolders(exe, env);
    for (const std::string& share : f.shareFolders)
        f.dataFolders.push_back(share + "Data/");
    return f;
}

std::string FindSharedFile(const AppFolders& folders, const std::string& relative)
{
    for (const std::string& share : folders.shareFolders) {
        struct stat st {};
        std::string path = share + relative;
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            return path;
    }
    return {};
}

std::string ExecutablePath()
{
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n <= 0 ? std::string() : std::string(buf, static_cast<size_t>(n));
}

std::string ExecutableFolder()
{
    std::string path = ExecutablePath();
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string XdgConfigHome(const EnvLookup& env)
{
    return XdgFolder(env, "XDG_CONFIG_HOME", ".config");
}

const AppFolders& ThisAppFolders()
{
    static const AppFolders folders =
        ResolveAppFolders(ExecutableFolder(), [](const char* name) { return std::getenv(name); });
    return folders;
}

bool MakeFolders(const std::string& path)
{
    if (path.empty())
        return false;
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace port
