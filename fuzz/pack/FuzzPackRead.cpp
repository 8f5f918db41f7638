// Loads any bytes as a pack in every CRC mode and reads every entry.
#include "pack/Zopack.h"
#include "port/MessageBoxes.h"

#include <cstddef>
#include <cstdint>

namespace {
class SilentBoxes final : public port::IMessageBoxes {
public:
    port::MessageResult Show(std::string_view, std::string_view, port::MessageButtons, port::MessageIcon) override
    {
        return port::MessageResult::Ok;
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static SilentBoxes boxes;
    port::SetMessageBoxes(&boxes);
    for (TCrcMode mode : {cmNon, cmPackAll, cmEachFile}) {
        TMemoryStream stream(data, size);
        TZoPack pack;
        pack.CrcMode = mode;
        if (!pack.LoadPackStream(&stream))
            continue;
        for (int i = 0; i < pack.GetFileNum(); ++i) {
            pack.VerifyFileCrc(i);
            auto decoded = pack.ZoMakeStreamAt(i);
            if (decoded && decoded->Size() != pack.Record(i)->size)
                __builtin_trap(); // a stream handed out must hold the whole entry
            if (ZoFILE* raw = pack.ZofopenIndex(i, false)) {
                char buf[64];
                pack.Zofseek(raw, 3, 0);
                pack.Zofread(buf, 7, 9, raw);
                pack.Zofclose(raw);
            }
        }
        if (mode == cmNon)
            break; // the other modes only add checks when the pack loads
    }
    return 0;
}
