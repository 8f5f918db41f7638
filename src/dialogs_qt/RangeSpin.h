// An up-down field that says why it refuses a keystroke: a number outside
// its range (or anything else) is refused where it is typed, as the spin box
// does, and a hint shows the range instead of a digit vanishing silently.
#pragma once

#include <QSpinBox>

namespace pendar {

class TRangeSpin final : public QSpinBox {
public:
    explicit TRangeSpin(QWidget* parent) : QSpinBox(parent) {}

    // The hint shown for the last refused keystroke; empty when none was.
    const QString& RefusalHint() const { return refusalHint_; }

protected:
    QValidator::State validate(QString& input, int& pos) const override;

private:
    mutable QString refusalHint_;
};

// Shows `hint` under `field` as the reason an edit was refused.
void ShowRefusal(QWidget* field, const QString& hint);

} // namespace pendar
