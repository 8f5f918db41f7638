#include "platform/QtMessageBoxes.h"

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

} // namespace

port::MessageResult QtMessageBoxes::Show(std::string_view text, std::string_view caption,
                                         port::MessageButtons buttons, port::MessageIcon icon)
{
    QMessageBox box(ToQt(icon), FromSjis(caption), FromSjis(text), ToQt(buttons));
    switch (box.exec()) {
    case QMessageBox::Cancel: return port::MessageResult::Cancel;
    case QMessageBox::Yes: return port::MessageResult::Yes;
    case QMessageBox::No: return port::MessageResult::No;
    default: return port::MessageResult::Ok;
    }
}

} // namespace pendar
