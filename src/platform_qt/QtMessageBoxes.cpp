#include "platform_qt/QtMessageBoxes.h"

#include "platform/QtText.h"

#include <QMessageBox>

namespace pendar {

namespace {

QMessageBox::Icon ToQt(port::MessageIcon icon)
{
    switch (icon) {
    case port::MessageIcon::Information: return QMessageBox::Information;
    case port::MessageIcon::Exclamation: return QMessageBox::Warning;
    case port::MessageIcon::Error: return QMessageBox::Critical;
    case port::MessageIcon::Question: return QMessageBox::Question;
    case port::MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(port::MessageButtons buttons)
{
    switch (buttons) {
    case port::MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case port::MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case port::MessageButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

// The answer of a box the user did not agree to.
QMessageBox::StandardButton Declined(QMessageBox::StandardButtons shown)
{
    if (shown.testFlag(QMessageBox::Cancel))
        return QMessageBox::Cancel;
    if (shown.testFlag(QMessageBox::No))
        return QMessageBox::No;
    return QMessageBox::Ok;
}

port::MessageResult FromQt(int answer)
{
    switch (answer) {
    case QMessageBox::Cancel: return port::MessageResult::Cancel;
    case QMessageBox::Yes: return port::MessageResult::Yes;
    case QMessageBox::No: return port::MessageResult::No;
    default: return port::MessageResult::Ok;
    }
}

} // namespace

port::MessageResult QtMessageBoxes::Show(std::string_view text, std::string_view caption,
                                         port::MessageButtons buttons, port::MessageIcon icon)
{
    if (closed_)
        return FromQt(Declined(ToQt(buttons)));
    QMessageBox box(ToQt(icon), FromSjis(caption), FromSjis(text), ToQt(buttons));
    open_.push_back(&box);
    int answer = box.exec();
    std::erase(open_, &box);
    return FromQt(answer);
}

void QtMessageBoxes::CloseAll()
{
    closed_ = true;
    for (QMessageBox* box : open_)
        box->done(Declined(box->standardButtons()));
}

} // namespace pendar
