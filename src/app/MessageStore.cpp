#include "app/MessageStore.h"

#include "port/Cp932.h"

namespace pendar {

namespace {

constexpr size_t kLineBytes = 20;

} // namespace

std::string TakeBalloonLine(std::string& rest)
{
    const size_t feed = rest.find('\n'); // 0-based; a line feed at byte 21 still fits
    std::string line;
    if (feed != std::string::npos && feed <= kLineBytes) {
        line = rest.substr(0, feed);
        rest.erase(0, feed + 1);
    } else if (feed == std::string::npos && rest.size() <= kLineBytes) {
        line = std::move(rest);
        rest.clear();
    } else {
        // Byte 20 starting a double-byte character goes to the next line.
        const size_t take = port::IsLeadByteAt(rest, kLineBytes - 1) ? kLineBytes - 1 : kLineBytes;
        line = rest.substr(0, take);
        rest.erase(0, take);
    }
    return line;
}

void TMessageStore::FlushMessage()
{
    if (composing_)
        CommitMessage(false);
}

void TMessageStore::AddMessage(std::string_view text)
{
    if (pending_.size() < kMaxSegments)
        pending_.emplace_back(text);
    composing_ = true;
}

void TMessageStore::CommitMessage(bool transient)
{
    if (!composing_)
        return;
    if (current_ < 0) {
        current_ = oldest_ = 0;
    } else if (!transient_) {
        current_ = (current_ + 1) % kHistory;
        if (current_ == oldest_)
            oldest_ = (oldest_ + 1) % kHistory; // the oldest message is dropped
    }
    // A transient message on display is overwritten in its own slot.
    Slot& slot = CurrentSlot();
    slot.segments = std::move(pending_);
    slot.position = -1;
    transient_ = transient;
    rest_.clear();
    emphasis_ = true;
    ShowNextPage();
    composing_ = false;
    pending_.clear();
    if (balloon_)
        balloon_->MessageCommitted();
}

void TMessageStore::SkipMessage()
{
    if (current_ < 0 || !transient_)
        return;
    rest_.clear();
    CurrentSlot().position = static_cast<int>(CurrentSlot().segments.size());
    emphasis_ = false;
    ShowNextPage();
}

bool TMessageStore::NextSegment()
{
    // Each turn moves a position forward or returns to an older message, of
    // which there are at most 16, so the search ends.
    while (rest_.empty()) {
        if (current_ < 0)
            return false;
        Slot& slot = CurrentSlot();
        ++slot.position;
        if (slot.position < static_cast<int>(slot.segments.size())) {
            rest_ = slot.segments[static_cast<size_t>(slot.position)];
            continue;
        }
        transient_ = false;
        emphasis_ = false;
        if (current_ == oldest_) {
            current_ = -1;
        } else {
            // Back to the interrupted message, at the segment it was showing.
            current_ = (current_ + kHistory - 1) % kHistory;
            --CurrentSlot().position;
        }
    }
    return true;
}

void TMessageStore::ShowNextPage()
{
    if (!NextSegment()) {
        if (balloon_)
            balloon_->HideLines();
        return;
    }
    std::array<std::string, 4> lines;
    for (std::string& line : lines)
        if (!rest_.empty())
            line = TakeBalloonLine(rest_);
    if (balloon_)
        balloon_->ShowLines(lines, balloon_->EmphasisWanted() && emphasis_ && !transient_);
}

} // namespace pendar
