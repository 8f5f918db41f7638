#include "platform_qt/PanelQtInput.h"

#include "panel/ZoRGBPanel.h"
#include "port/Cp932.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>
#include <limits>
#include <string_view>
#include <utility>

namespace pendar {

namespace {

// Qt keys whose virtual key code does not follow from a range.
constexpr std::pair<int, TKeyCode> kNamedKeys[] = {
    {Qt::Key_Backspace, vk::Back},
    {Qt::Key_Tab, vk::Tab},
    {Qt::Key_Backtab, vk::Tab}, // Shift+Tab
    {Qt::Key_Clear, vk::Clear},
    {Qt::Key_Return, vk::Return},
    {Qt::Key_Enter, vk::Return}, // the keypad's
    {Qt::Key_Shift, vk::Shift},
    {Qt::Key_Control, vk::Control},
    {Qt::Key_Alt, vk::Menu},
    {Qt::Key_AltGr, vk::Menu},
    {Qt::Key_Pause, vk::Pause},
    {Qt::Key_CapsLock, vk::Capital},
    {Qt::Key_Kana_Lock, vk::Kana},
    {Qt::Key_Hiragana_Katakana, vk::Kana},
    {Qt::Key_Katakana, vk::Kana},
    {Qt::Key_Hiragana, vk::Kana},
    {Qt::Key_Kanji, vk::Kanji},
    {Qt::Key_Zenkaku_Hankaku, vk::Kanji},
    {Qt::Key_Escape, vk::Escape},
    {Qt::Key_Henkan, vk::Convert},
    {Qt::Key_Muhenkan, vk::NonConvert},
    {Qt::Key_Space, vk::Space},
    {Qt::Key_PageUp, vk::Prior},
    {Qt::Key_PageDown, vk::Next},
    {Qt::Key_End, vk::End},
    {Qt::Key_Home, vk::Home},
    {Qt::Key_Left, vk::Left},
    {Qt::Key_Up, vk::Up},
    {Qt::Key_Right, vk::Right},
    {Qt::Key_Down, vk::Down},
    {Qt::Key_Select, vk::Select},
    {Qt::Key_Printer, vk::Print},
    {Qt::Key_Execute, vk::Execute},
    {Qt::Key_Print, vk::Snapshot},
    {Qt::Key_SysReq, vk::Snapshot},
    {Qt::Key_Insert, vk::Insert},
    {Qt::Key_Delete, vk::Delete},
    {Qt::Key_Help, vk::Help},
    {Qt::Key_Meta, vk::LWin},
    {Qt::Key_Super_L, vk::LWin},
    {Qt::Key_Super_R, vk::RWin},
    {Qt::Key_Menu, vk::Apps},
    {Qt::Key_Sleep, vk::Sleep},
    {Qt::Key_NumLock, vk::NumLock},
    {Qt::Key_ScrollLock, vk::Scroll},
    // Punctuation, both characters of a US key.
    {Qt::Key_Semicolon, vk::Oem1},
    {Qt::Key_Colon, vk::Oem1},
    {Qt::Key_Equal, vk::OemPlus},
    {Qt::Key_Plus, vk::OemPlus},
    {Qt::Key_Comma, vk::OemComma},
    {Qt::Key_Less, vk::OemComma},
    {Qt::Key_Minus, vk::OemMinus},
    {Qt::Key_Underscore, vk::OemMinus},
    {Qt::Key_Period, vk::OemPeriod},
    {Qt::Key_Greater, vk::OemPeriod},
    {Qt::Key_Slash, vk::Oem2},
    {Qt::Key_Question, vk::Oem2},
    {Qt::Key_QuoteLeft, vk::Oem3},
    {Qt::Key_AsciiTilde, vk::Oem3},
    {Qt::Key_BracketLeft, vk::Oem4},
    {Qt::Key_BraceLeft, vk::Oem4},
    {Qt::Key_Backslash, vk::Oem5},
    {Qt::Key_Bar, vk::Oem5},
    {Qt::Key_yen, vk::Oem5},
    {Qt::Key_BracketRight, vk::Oem6},
    {Qt::Key_BraceRight, vk::Oem6},
    {Qt::Key_Apostrophe, vk::Oem7},
    {Qt::Key_QuoteDbl, vk::Oem7},
    // Shifted digits: the digit's key.
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
};

// Keys that have a key of their own on the keypad.
constexpr std::pair<int, TKeyCode> kKeypadKeys[] = {
    {Qt::Key_Asterisk, vk::Multiply}, {Qt::Key_Plus, vk::Add},       {Qt::Key_Comma, vk::Separator},
    {Qt::Key_Minus, vk::Subtract},    {Qt::Key_Period, vk::Decimal}, {Qt::Key_Slash, vk::Divide},
};

template <size_t N>
TKeyCode Look(const std::pair<int, TKeyCode> (&table)[N], int qtKey)
{
    for (const auto& [key, code] : table)
        if (key == qtKey)
            return code;
    return 0;
}

} // namespace

std::optional<TMouseButton> PanelButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return mbLeft;
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return std::nullopt;
    }
}

TShiftState PanelShift(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, bool doubleClick)
{
    TShiftState shift;
    const std::pair<bool, TShiftStateItem> items[] = {
        {modifiers.testFlag(Qt::ShiftModifier), ssShift}, {modifiers.testFlag(Qt::AltModifier), ssAlt},
        {modifiers.testFlag(Qt::ControlModifier), ssCtrl}, {buttons.testFlag(Qt::LeftButton), ssLeft},
        {buttons.testFlag(Qt::RightButton), ssRight},      {buttons.testFlag(Qt::MiddleButton), ssMiddle},
        {doubleClick, ssDouble},
    };
    for (const auto& [held, item] : items)
        if (held)
            shift.Include(item);
    return shift;
}

TKeyCode PanelKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<TKeyCode>(keypad ? vk::Numpad0 + (qtKey - Qt::Key_0) : qtKey);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<TKeyCode>(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<TKeyCode>(vk::F1 + (qtKey - Qt::Key_F1));
    if (keypad) {
        if (TKeyCode code = Look(kKeypadKeys, qtKey))
            return code;
    }
    return Look(kNamedKeys, qtKey);
}

std::string PanelKeyChars(const QKeyEvent& event)
{
    const QString text = event.text();
    const std::u16string_view utf16(reinterpret_cast<const char16_t*>(text.utf16()),
                                    static_cast<size_t>(text.size()));
    std::string chars;
    // One character at a time, so that one the code page lacks drops alone.
    for (size_t i = 0; i < utf16.size(); ++i) {
        size_t length = QChar::isHighSurrogate(utf16[i]) && i + 1 < utf16.size() ? 2 : 1;
        if (std::optional<std::string> bytes = port::Utf16ToCp932Strict(utf16.substr(i, length)))
            chars += *bytes;
        i += length - 1;
    }
    return chars;
}

int PanelCoordinate(double value)
{
    constexpr double kLow = std::numeric_limits<int>::min();
    constexpr double kHigh = std::numeric_limits<int>::max();
    if (std::isnan(value))
        return 0;
    const double pixel = std::floor(value);
    return pixel <= kLow ? std::numeric_limits<int>::min()
           : pixel >= kHigh ? std::numeric_limits<int>::max()
                            : static_cast<int>(pixel);
}

void PanelQtInput::ToRoot(const QPointF& position, int& x, int& y) const
{
    x = PanelCoordinate(position.x());
    y = PanelCoordinate(position.y());
    root_.ScreenToClient(x, y);
}

bool PanelQtInput::Deliver(QEvent& event)
{
    int x = 0;
    int y = 0;
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        const auto& mouse = static_cast<const QMouseEvent&>(event);
        const std::optional<TMouseButton> button = PanelButton(mouse.button());
        if (!button)
            return false;
        ToRoot(mouse.position(), x, y);
        const bool release = event.type() == QEvent::MouseButtonRelease;
        const TShiftState shift =
            PanelShift(mouse.modifiers(), mouse.buttons(), event.type() == QEvent::MouseButtonDblClick);
        return release ? root_.MouseUp(*button, shift, x, y) : root_.MouseDown(*button, shift, x, y);
    }
    case QEvent::MouseMove: {
        const auto& mouse = static_cast<const QMouseEvent&>(event);
        ToRoot(mouse.position(), x, y);
        return root_.MouseMove(PanelShift(mouse.modifiers(), mouse.buttons()), x, y);
    }
    case QEvent::Wheel: {
        const auto& wheel = static_cast<const QWheelEvent&>(event);
        // The vertical wheel, in the same steps of 120 a notch. Some
        // platforms turn it sideways while Alt is held; it is still the
        // wheel the user turned.
        int delta = wheel.angleDelta().y();
        if (delta == 0 && wheel.modifiers().testFlag(Qt::AltModifier))
            delta = wheel.angleDelta().x();
        if (delta == 0)
            return false;
        ToRoot(wheel.position(), x, y);
        bool handled = false;
        return root_.MouseWheel(PanelShift(wheel.modifiers(), wheel.buttons()), delta, handled, {x, y});
    }
    case QEvent::Enter:
        ToRoot(static_cast<const QEnterEvent&>(event).position(), x, y);
        root_.MouseEnter(x, y);
        return true;
    case QEvent::Leave:
        root_.MouseLeave();
        return true;
    case QEvent::KeyPress: {
        const auto& key = static_cast<const QKeyEvent&>(event);
        bool taken = false;
        if (TKeyCode code = PanelKey(key.key(), key.modifiers()))
            taken = root_.KeyDown(code, PanelShift(key.modifiers()));
        for (char c : PanelKeyChars(key))
            taken = root_.KeyPress(c) || taken;
        return taken;
    }
    case QEvent::KeyRelease: {
        const auto& key = static_cast<const QKeyEvent&>(event);
        // A held key repeats its press alone; the one release comes when it
        // is let go.
        if (key.isAutoRepeat())
            return false;
        TKeyCode code = PanelKey(key.key(), key.modifiers());
        return code != 0 && root_.KeyUp(code, PanelShift(key.modifiers()));
    }
    default:
        return false;
    }
}

} // namespace pendar
