// Message boxes shown with QMessageBox.
#pragma once

#include "port/MessageBoxes.h"

namespace pendar {

class QtMessageBoxes final : public port::IMessageBoxes {
public:
    port::MessageResult Show(std::string_view text, std::string_view caption, port::MessageButtons buttons,
                             port::MessageIcon icon) override;
};

} // namespace pendar
