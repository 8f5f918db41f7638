// pak create, add and delete. Every change goes through a copy of the pack
// that replaces it only once complete (pendar::EditPack).
#include "PakShared.h"
#include "ToolCommand.h"

#include "pack/PackEdit.h"
#include "pack/Zopack.h"

#include <map>

namespace pendar::tool::pak {

namespace {

struct FileToAdd {
    std::string path;
    std::string name; // code page 932
};

struct AddRequest {
    int method = pmLunet;
    bool smart = false;
    std::vector<FileToAdd> files;
};

const std::map<std::string, int>& Codecs()
{
    static const std::map<std::string, int> codecs = {
        {"stored", pmStored}, {"complement", pmComplement}, {"dict", pmLunet},
        {"bs32k", pmBrisca},  {"bs8k", pmBriscaLE},         {"bs1k", pmBriscaMini},
    };
    return codecs;
}

std::string BaseName(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Reads the options and files after PAK; returns an exit code other than
// kExitOk when they are wrong.
int ParseAdd(const Args& args, AddRequest& request)
{
    std::optional<std::string> pendingName;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--smart") {
            request.smart = true;
        } else if (a == "--codec" || a == "--name") {
            if (i + 1 >= args.size())
                return Usage(a + " needs a value");
            const std::string& value = args[++i];
            if (a == "--name") {
                pendingName = value;
                continue;
            }
            auto codec = Codecs().find(value);
            if (codec == Codecs().end())
                return Usage("unknown codec '" + value + "'");
            request.method = codec->second;
        } else {
            std::string utf8 = pendingName ? *pendingName : BaseName(a);
            pendingName.reset();
            auto name = NameFromArgument(utf8);
            if (!name)
                return Fail("'" + utf8 + "': not a name code page 932 can hold");
            request.files.push_back({a, *name});
        }
    }
    if (pendingName)
        return Usage("--name must come before a FILE");
    if (request.files.empty())
        return Usage("no FILE to add");
    return kExitOk;
}

int Add(const Args& args, PackStart start)
{
    if (args.empty())
        return Usage("missing PAK");
    AddRequest request;
    if (int code = ParseAdd(args, request); code != kExitOk)
        return code;
    std::string error;
    bool ok = EditPack(args[0], start, [&](TZoPack& pack, std::string& why) {
        for (const auto& f : request.files) {
            if (!pack.AddFile(f.name, f.path, request.method, request.smart)) {
                why = NameForOutput(f.name) + ": not added from " + f.path +
                      (request.smart ? "" : " (when its codec refuses it, --smart stores it instead)");
                return false;
            }
        }
        return true;
    }, error);
    return ok ? kExitOk : Fail(args[0] + ": " + error);
}

} // namespace

int RunCreate(const Args& args)
{
    return Add(args, PackStart::New);
}

int RunAdd(const Args& args)
{
    return Add(args, PackStart::ExistingOrNew);
}

int RunDelete(const Args& args)
{
    if (args.size() != 2)
        return Usage("delete needs PAK NAME");
    auto name = NameFromArgument(args[1]);
    if (!name)
        return Fail(args[1] + ": not a name code page 932 can hold");
    std::string error;
    bool ok = EditPack(args[0], PackStart::Existing, [&](TZoPack& pack, std::string& why) {
        if (pack.DelFile(*name))
            return true;
        why = args[1] + ": no such entry";
        return false;
    }, error);
    return ok ? kExitOk : Fail(args[0] + ": " + error);
}

} // namespace pendar::tool::pak
