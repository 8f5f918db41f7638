// Message boxes shown with QMessageBox.
#pragma once

#include "port/MessageBoxes.h"

#include <vector>

class QMessageBox;

namespace pendar {

class QtMessageBoxes final : public port::IMessageBoxes {
public:
    port::MessageResult Show(std::string_view text, std::string_view caption, port::MessageButtons buttons,
                             port::MessageIcon icon) override;
    // The program is ending: every open box ends as if cancelled and no
    // further box is shown, so a quit request never waits for an OK.
    void CloseAll();

private:
    std::vector<QMessageBox*> open_;
    bool closed_ = false;
};

} // namespace pendar
