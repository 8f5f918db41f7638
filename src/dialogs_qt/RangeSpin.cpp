#include "dialogs_qt/RangeSpin.h"

#include <QToolTip>

namespace pendar {

QValidator::State TRangeSpin::validate(QString& input, int& pos) const
{
    const QValidator::State state = QSpinBox::validate(input, pos);
    if (state == QValidator::Invalid) {
        refusalHint_ = QString::fromUtf8("%1 から %2 までです").arg(minimum()).arg(maximum());
        ShowRefusal(const_cast<TRangeSpin*>(this), refusalHint_);
    }
    return state;
}

void ShowRefusal(QWidget* field, const QString& hint)
{
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), hint, field);
}

} // namespace pendar
