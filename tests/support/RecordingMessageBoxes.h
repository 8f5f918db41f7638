// Message boxes that tests read back instead of a user clicking them.
#pragma once

#include "port/MessageBoxes.h"

#include <string>
#include <vector>

namespace pendar::test {

class RecordingMessageBoxes final : public port::IMessageBoxes {
public:
    struct Box {
        std::string text;
        std::string caption;
        port::MessageButtons buttons;
        port::MessageIcon icon;
    };

    port::MessageResult Show(std::string_view text, std::string_view caption, port::MessageButtons buttons,
                             port::MessageIcon icon) override
    {
        boxes.push_back({std::string(text), std::string(caption), buttons, icon});
        return answer;
    }

    std::vector<Box> boxes;
    port::MessageResult answer = port::MessageResult::Ok;
};

// Installs a recorder as the process's message boxes for one scope.
class ScopedMessageBoxes {
public:
    ScopedMessageBoxes() { port::SetMessageBoxes(&recorder); }
    ~ScopedMessageBoxes() { port::SetMessageBoxes(nullptr); }
    RecordingMessageBoxes recorder;
};

} // namespace pendar::test
