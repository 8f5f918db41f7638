#include "platform/ZoFileExec.h"

#include "platform/FileTests.h"
#include "port/Cp932.h"
#include "port/MessageBoxes.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// The shell's error numbers, kept so the texts stay those users know.
enum ShellError {
    kOutOfResources = 0,
    kFileNotFound = 2,
    kPathNotFound = 3,
    kNoAssociation = 31,
    kUnknown = -1,
};

std::string ErrorText(ShellError code)
{
    switch (code) {
    case kOutOfResources: return port::Utf8ToCp932("システムに､ メモリまたはリソースが足りません。");
    case kFileNotFound: return port::Utf8ToCp932("指定されたファイルが見つかりませんでした。");
    case kPathNotFound: return port::Utf8ToCp932("指定されたパスが見つかりませんでした。");
    case kNoAssociation:
        return port::Utf8ToCp932("指定されたファイル名拡張子には､ アプリケーションが関連付けられていません。");
    case kUnknown: break;
    }
    return port::Utf8ToCp932("不明なエラー");
}

void Fail(ShellError code, const ZoFileExecFailure& onFailure)
{
    if (onFailure) {
        onFailure(code);
        return;
    }
    port::MessageBoxes().Show(ErrorText(code), port::Utf8ToCp932("エラー"), port::MessageButtons::Ok,
                              port::MessageIcon::Error);
}

// The opener's failure, known on the thread that waited for it, goes to the
// application's thread through its event loop; without an application it
// is reported where it is known.
void FailLater(ShellError code, const ZoFileExecFailure& onFailure)
{
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [code, onFailure] { Fail(code, onFailure); }, Qt::QueuedConnection);
    else
        Fail(code, onFailure);
}

// The folder part of a path: up to its last slash, which only the root
// keeps; empty when there is none.
std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// "scheme:..." with a scheme of two characters or more.
bool LooksLikeUrl(const std::string& path)
{
    size_t colon = path.find(':');
    if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(path[0])))
        return false;
    for (size_t i = 1; i < colon; ++i) {
        auto c = static_cast<unsigned char>(path[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

// xdg-open's exit status: 0 done, 2 no such file, 3 no tool to open it
// with; 1 (bad arguments), 4 (the action failed) and anything else unknown.
std::optional<ShellError> ExitError(int status)
{
    if (WIFEXITED(status)) {
        switch (WEXITSTATUS(status)) {
        case 0: return std::nullopt;
        case 2: return kFileNotFound;
        case 3: return kNoAssociation;
        default: break;
        }
    }
    return kUnknown;
}


ShellError SpawnError(int error)
{
    switch (error) {
    case ENOMEM:
    case EAGAIN: return kOutOfResources;
    case ENOENT:
    case EACCES:
    case ENOEXEC: return kNoAssociation; // no usable xdg-open
    default: return kUnknown;
    }
}

// Starts xdg-open in its own session with default signal handling; a thread
// waits for its exit (it may open the document itself and run as long), so
// that no zombie stays behind and a failure is shown.
int StartOpener(const std::string& target, const std::string& folder, const ZoFileExecFailure& onFailure)
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return ENOMEM;
    if (posix_spawnattr_init(&attr) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return ENOMEM;
    }
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSID);
    if (!folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());

    std::string program = "xdg-open";
    char* argv[] = {program.data(), const_cast<char*>(target.c_str()), nullptr};
    pid_t pid = 0;
    int error = posix_spawnp(&pid, program.c_str(), &actions, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return error;

    auto reap = [pid, onFailure] {
        int status = 0;
        pid_t done = 0;
        while ((done = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
        }
        if (done != pid)
            return;
        if (std::optional<ShellError> code = ExitError(status))
            FailLater(*code, onFailure);
    };
    try {
        std::thread(reap).detach();
    } catch (const std::system_error&) {
        reap(); // no thread to spare: wait here instead
    }
    return 0;
}

} // namespace

void ZoFileExec(std::string_view path, const ZoFileExecFailure& onFailure)
{
    if (path.empty())
        return;
    std::string target(path);
    std::string folder;
    std::error_code ec;
    bool exists = std::filesystem::exists(target, ec);
    if (exists || !LooksLikeUrl(target)) {
        if (!exists) {
            std::string parent = FolderOf(target);
            Fail(parent.empty() || FolderIsExist(parent.c_str()) ? kFileNotFound : kPathNotFound, onFailure);
            return;
        }
        // Absolute, because the opener starts in the document's folder.
        std::filesystem::path absolute = std::filesystem::absolute(target, ec);
        if (!ec)
            target = absolute.string();
        folder = FolderOf(target);
    }
    if (int error = StartOpener(target, folder, onFailure); error != 0)
        Fail(SpawnError(error), onFailure);
}
