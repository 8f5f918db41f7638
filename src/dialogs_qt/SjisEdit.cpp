#include "dialogs_qt/SjisEdit.h"

#include "dialogs_qt/RangeSpin.h"
#include "platform/QtText.h"
#include "port/Cp932.h"

#include <algorithm>

namespace pendar {

TSjisEdit::TSjisEdit(QWidget* parent, int maxBytes) : QLineEdit(parent), maxBytes_(maxBytes)
{
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) { Edited(text); });
}

void TSjisEdit::SetSjis(const std::string& cp932)
{
    accepted_ = cp932;
    const QString text = FromSjis(cp932);
    if (text != this->text())
        setText(text);
}

void TSjisEdit::Edited(const QString& text)
{
    std::optional<std::string> bytes = port::Utf8ToCp932Strict(text.toStdString());
    QString refusal;
    if (!bytes)
        refusal = QString::fromUtf8("この文字は使えません (Shift_JIS にない文字です)");
    // A text over the limit (stored so by hand) can still be shortened.
    else if (maxBytes_ > 0 && bytes->size() > static_cast<size_t>(maxBytes_) && bytes->size() >= accepted_.size())
        refusal = QString::fromUtf8("%1 バイトまでです").arg(maxBytes_);
    if (!refusal.isEmpty()) {
        const int cursor = cursorPosition();
        const QString previous = FromSjis(accepted_);
        const int grown = static_cast<int>(text.size() - previous.size());
        setText(previous);
        setCursorPosition(std::max(0, std::min(static_cast<int>(previous.size()), cursor - std::max(0, grown))));
        refusalHint_ = refusal;
        ShowRefusal(this, refusal);
        return;
    }
    refusalHint_.clear();
    accepted_ = std::move(*bytes);
    if (onEdited)
        onEdited(accepted_);
}

} // namespace pendar
