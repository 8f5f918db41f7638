// pak list, extract and verify.
#include "PakShared.h"
#include "ToolCommand.h"

#include "pack/PackVerify.h"
#include "pack/Zopack.h"
#include "port/Stream.h"

#include <cstdio>
#include <unistd.h>

namespace pendar::tool::pak {

namespace {

const char* CodingName(int comp)
{
    switch (comp) {
    case zopack::kLunet: return "dict";
    case zopack::kBrisca: return "bs";
    case zopack::kComplement: return "complement";
    default: return "stored"; // any other coding is read as stored bytes
    }
}

bool WriteAll(int fd, const uint8_t* data, size_t size)
{
    for (size_t done = 0; done < size;) {
        ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

int RunList(const Args& args)
{
    if (args.size() != 1)
        return Usage("list needs PAK");
    TZoPack pack;
    if (!pack.LoadPack(args[0]))
        return Fail(args[0] + ": " + LoadProblem(args[0]));
    for (int i = 0; i < pack.GetFileNum(); ++i) {
        const TZoFileTable3* r = pack.Record(i);
        if (r->Deleted())
            continue;
        char crc[8] = "-";
        if (r->crcflag)
            std::snprintf(crc, sizeof crc, "%04X", r->crc);
        std::printf("%s\t%d\t%d\t%s\t%s\n", NameForOutput(r->ComposedName()).c_str(), r->size, r->dsize,
                    CodingName(r->comp), crc);
    }
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

int RunExtract(const Args& args)
{
    if (args.size() != 2 && args.size() != 3)
        return Usage("extract needs PAK NAME [OUT]");
    auto name = NameFromArgument(args[1]);
    if (!name)
        return Fail(args[1] + ": not a name code page 932 can hold");
    TZoPack pack;
    if (!pack.LoadPack(args[0]))
        return Fail(args[0] + ": " + LoadProblem(args[0]));
    int index = pack.CheckFileName(*name);
    if (index < 0 || name->empty())
        return Fail(args[1] + ": no such entry");
    if (!pack.EntryIsSound(index) || !pack.VerifyFileCrc(index))
        return Fail(args[1] + ": entry damaged (CRC mismatch or outside the data area)");
    auto bytes = pack.ZoMakeStreamAt(index);
    if (!bytes)
        return Fail(args[1] + ": entry damaged (cannot be decoded)");
    if (args.size() == 3) {
        if (!bytes->SaveToFile(args[2]))
            return Fail(args[2] + ": cannot be written");
        return kExitOk;
    }
    return WriteAll(STDOUT_FILENO, bytes->Memory(), bytes->Bytes().size()) ? kExitOk
                                                                              : Fail("cannot write the output");
}

int RunVerify(const Args& args)
{
    if (args.size() != 1)
        return Usage("verify needs PAK");
    auto problems = VerifyPack(args[0]);
    for (const auto& p : problems)
        std::printf("%s\t%s\n", p.wholePack ? "pack" : NameForOutput(p.name).c_str(), p.reason.c_str());
    std::fflush(stdout);
    return problems.empty() ? kExitOk : kExitFailure;
}

} // namespace pendar::tool::pak
