#include "platform/AutostartEntry.h"

#include "port/AppFolder.h"
#include "port/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace pendar {

namespace {

// One argument of an Exec key: always quoted, with the characters that are
// special inside quotes escaped by a backslash, '%' doubled (field codes);
// then the backslashes doubled once more, as every string value's are.
std::optional<std::string> ExecArgument(const std::string& word)
{
    std::string quoted = "\"";
    for (char c : word) {
        if (c == '\n' || c == '\r')
            return std::nullopt;
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    quoted += '"';
    std::string value;
    for (char c : quoted) {
        if (c == '\\')
            value += '\\';
        value += c;
    }
    return value;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

} // namespace

std::optional<std::string> AutostartEntryText(const std::string& executable, std::string_view id)
{
    std::optional<std::string> exec = ExecArgument(executable);
    if (!exec)
        return std::nullopt;
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Pendar\n"
           "Name[ja]=ペンダー\n"
           "Comment=A character on your desktop shows the time\n"
           "Comment[ja]=デスクトップのキャラクターが時刻を表示します\n"
           "Exec=" + *exec + "\n"
           "Icon=" + std::string(id) + "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartEntryExists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool WriteAutostartEntry(const std::string& path, const std::string& executable, std::string_view id,
                         std::string* error)
{
    std::optional<std::string> text = AutostartEntryText(executable, id);
    if (!text) {
        *error = "the program's path cannot be written into a desktop entry";
        return false;
    }
    if (!port::MakeFolders(FolderOf(path))) {
        *error = "cannot make the folder " + FolderOf(path);
        return false;
    }
    return port::WriteFileAtomically(path, *text, 0644, error);
}

bool RemoveAutostartEntry(const std::string& path, std::string* error)
{
    if (::unlink(path.c_str()) == 0 || errno == ENOENT)
        return true;
    *error = "cannot remove " + path + ": " + std::strerror(errno);
    return false;
}

} // namespace pendar
