#include "port/MessageBoxes.h"

#include "port/Cp932.h"

#include <atomic>
#include <cstdio>

namespace port {

namespace {

class StderrMessageBoxes final : public IMessageBoxes {
public:
    MessageResult Show(std::string_view text, std::string_view caption, MessageButtons,
                       MessageIcon) override
    {
        std::fprintf(stderr, "%s: %s\n", Cp932ToUtf8(caption).c_str(), Cp932ToUtf8(text).c_str());
        return MessageResult::Ok;
    }
};

StderrMessageBoxes fallback;
std::atomic<IMessageBoxes*> current{nullptr};

} // namespace

IMessageBoxes& MessageBoxes()
{
    IMessageBoxes* boxes = current.load();
    return boxes ? *boxes : fallback;
}

void SetMessageBoxes(IMessageBoxes* boxes)
{
    current.store(boxes);
}

} // namespace port
