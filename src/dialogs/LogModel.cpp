#include "dialogs/LogModel.h"

#include "base/Zotext.h"
#include "port/Clock.h"

#include <cstdio>

namespace pendar {

TLogModel::TLogModel(const port::IClock& clock) : clock_(clock)
{
    Append({"** SorelPendar Log **", clBlack, 0});
}

void TLogModel::AddLog(std::string_view text, int colour)
{
    if (mirror_)
        mirror_->AddLog(text, colour);
    std::string pieces[kMaxPieces];
    SeparateString(text, pieces, kMaxPieces);
    port::LocalTime now = clock_.Now();
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%2d:%02d ", now.hour, now.minute);
    for (std::string& piece : pieces)
        if (!piece.empty())
            Append({stamp + piece, static_cast<uint32_t>(colour) & 0xFFFFFF, kStampLength});
}

void TLogModel::Append(TLogLine line)
{
    lines_.push_back(std::move(line));
    while (lines_.size() > static_cast<size_t>(kMaxLines))
        lines_.pop_front();
    if (view_)
        view_->LineAdded(lines_.back());
}

} // namespace pendar
