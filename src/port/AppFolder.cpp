#include "port/AppFolder.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
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
        return f;
    }
    f.settingsFile = XdgFolder(env, "XDG_CONFIG_HOME", ".config") + "Pendar/Pendar.ini";
    f.dataFolders = {XdgFolder(env, "XDG_DATA_HOME", ".local/share") + "Pendar/Data/",
                     exe + "../share/pendar/Data/"};
    return f;
}

std::string ExecutableFolder()
{
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return "./";
    std::string path(buf, static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
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
