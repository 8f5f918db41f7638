// Message boxes behind an interface, so that library code without a window
// (the pack reader's CRC error, code conversion out of memory) and the
// application can show one, and tests can record them instead.
#pragma once

#include <string>
#include <string_view>

namespace port {

enum class MessageIcon { None, Information, Exclamation, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageResult { Ok, Cancel, Yes, No };

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    // Text and caption are code page 932 bytes.
    virtual MessageResult Show(std::string_view text, std::string_view caption, MessageButtons buttons,
                               MessageIcon icon) = 0;
};

// The process's message boxes. Until the application installs its own, a
// message goes to standard error (in UTF-8) and the answer is Ok.
IMessageBoxes& MessageBoxes();
// Installs `boxes` (not owned); null restores the standard-error fallback.
void SetMessageBoxes(IMessageBoxes* boxes);

} // namespace port
