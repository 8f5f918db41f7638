// The speech balloon's messages: segments composed into a message, a ring
// of 16 messages where a new one interrupts the one on display, and the
// paging of the message on display four lines at a time.
#pragma once

#include "app/MainFormServices.h"

#include <array>
#include <string>
#include <vector>

namespace pendar {

// What the store shows its pages on.
class IBalloon {
public:
    virtual ~IBalloon() = default;
    // The four lines of a page, styled for emphasis or plain; the balloon
    // is shown when hidden.
    virtual void ShowLines(const std::array<std::string, 4>& lines, bool emphasis) = 0;
    virtual void HideLines() = 0;
    // A new message went on display.
    virtual void MessageCommitted() = 0;
    // Whether new messages are emphasised at all (the Emphasis setting).
    virtual bool EmphasisWanted() const = 0;
};

// Cuts the next balloon line off the front of `rest`: the text before a
// line feed when there is one within 21 bytes, else at most 20 bytes and
// never half of a double-byte character.
std::string TakeBalloonLine(std::string& rest);

class TMessageStore final : public IMessageStore {
public:
    static constexpr int kMaxSegments = 32;
    static constexpr int kHistory = 16;

    explicit TMessageStore(IBalloon* balloon = nullptr) : balloon_(balloon) {}
    void SetBalloon(IBalloon* balloon) { balloon_ = balloon; }

    void FlushMessage() override;
    void AddMessage(std::string_view text) override;
    void CommitMessage(bool transient) override;
    void SkipMessage() override;
    void ShowNextPage() override;

    // -1 when no message is on display.
    int Current() const { return current_; }
    int Oldest() const { return oldest_; }
    bool Transient() const { return transient_; }
    bool Emphasised() const { return emphasis_; }
    bool Composing() const { return composing_; }
    size_t PendingCount() const { return pending_.size(); }

private:
    struct Slot {
        std::vector<std::string> segments;
        int position = -1; // the segment on display
    };
    // Finds the next text to show; false when every message is read.
    bool NextSegment();
    Slot& CurrentSlot() { return slots_[static_cast<size_t>(current_)]; }

    IBalloon* balloon_;
    std::vector<std::string> pending_;
    bool composing_ = false;
    std::array<Slot, kHistory> slots_;
    int current_ = -1;
    int oldest_ = 0;
    std::string rest_;
    bool transient_ = false;
    bool emphasis_ = false;
};

} // namespace pendar
