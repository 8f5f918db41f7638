// The message store's pages drawn by the main window's balloon.
#pragma once

#include "app/MainForm.h"
#include "app/MessageStore.h"

namespace pendar {

class TFormBalloon final : public IBalloon {
public:
    explicit TFormBalloon(TMainForm& form) : form_(form) {}

    void ShowLines(const std::array<std::string, 4>& lines, bool emphasis) override
    {
        form_.ShowBalloonLines(lines, emphasis);
    }
    void HideLines() override { form_.HideBalloon(); }
    void MessageCommitted() override { form_.StartTalking(); }
    bool EmphasisWanted() const override { return form_.Settings().emphasis; }

private:
    TMainForm& form_;
};

} // namespace pendar
