// A line edit whose text is kept as code page 932: text that code page 932
// cannot hold, or that would pass the byte limit, is refused where it is
// typed or pasted (the edit goes back to its last accepted text) and a hint
// says why, instead of turning characters silently into "?". A text already
// over the limit may always be made shorter.
#pragma once

#include <QLineEdit>

#include <functional>
#include <string>

namespace pendar {

class TSjisEdit final : public QLineEdit {
public:
    // maxBytes: the longest text in code page 932 bytes; 0 for no limit.
    TSjisEdit(QWidget* parent, int maxBytes = 0);

    // Shows `cp932` (raises no edit event).
    void SetSjis(const std::string& cp932);
    const std::string& Sjis() const { return accepted_; }
    // The hint shown for the last refused edit; empty when none was refused.
    const QString& RefusalHint() const { return refusalHint_; }

    // Runs after each accepted edit by the user, with the new text.
    std::function<void(const std::string&)> onEdited;

private:
    void Edited(const QString& text);

    int maxBytes_;
    std::string accepted_;
    QString refusalHint_;
};

} // namespace pendar
