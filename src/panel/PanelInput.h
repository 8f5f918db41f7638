// The input values a panel tree takes: mouse buttons, the shift state that
// comes with every mouse and key event, and virtual key codes (the same
// numbers on every keyboard layout: letters and digits are their upper-case
// ASCII codes).
#pragma once

#include <cstdint>
#include <initializer_list>

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };

// A set of TShiftStateItem values.
class TShiftState {
public:
    constexpr TShiftState() = default;
    constexpr TShiftState(std::initializer_list<TShiftStateItem> items)
    {
        for (TShiftStateItem item : items)
            Include(item);
    }

    constexpr bool Contains(TShiftStateItem item) const { return (bits_ & Bit(item)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TShiftState& Include(TShiftStateItem item)
    {
        bits_ = static_cast<uint8_t>(bits_ | Bit(item));
        return *this;
    }
    constexpr TShiftState& Exclude(TShiftStateItem item)
    {
        bits_ = static_cast<uint8_t>(bits_ & ~Bit(item));
        return *this;
    }

    friend constexpr bool operator==(const TShiftState&, const TShiftState&) = default;

private:
    static constexpr uint8_t Bit(TShiftStateItem item) { return static_cast<uint8_t>(1u << item); }
    uint8_t bits_ = 0;
};

// A virtual key code. Key handlers receive it by reference and may change it;
// the caller of the tree's key call sees the change.
using TKeyCode = uint16_t;

// The named virtual key codes ('A'..'Z' and '0'..'9' stand for themselves).
namespace vk {
constexpr TKeyCode Back = 0x08;
constexpr TKeyCode Tab = 0x09;
constexpr TKeyCode Clear = 0x0C;
constexpr TKeyCode Return = 0x0D;
constexpr TKeyCode Shift = 0x10;
constexpr TKeyCode Control = 0x11;
constexpr TKeyCode Menu = 0x12; // Alt
constexpr TKeyCode Pause = 0x13;
constexpr TKeyCode Capital = 0x14;
constexpr TKeyCode Kana = 0x15;
constexpr TKeyCode Kanji = 0x19;
constexpr TKeyCode Escape = 0x1B;
constexpr TKeyCode Convert = 0x1C;
constexpr TKeyCode NonConvert = 0x1D;
constexpr TKeyCode Space = 0x20;
constexpr TKeyCode Prior = 0x21; // Page Up
constexpr TKeyCode Next = 0x22;  // Page Down
constexpr TKeyCode End = 0x23;
constexpr TKeyCode Home = 0x24;
constexpr TKeyCode Left = 0x25;
constexpr TKeyCode Up = 0x26;
constexpr TKeyCode Right = 0x27;
constexpr TKeyCode Down = 0x28;
constexpr TKeyCode Select = 0x29;
constexpr TKeyCode Print = 0x2A;
constexpr TKeyCode Execute = 0x2B;
constexpr TKeyCode Snapshot = 0x2C;
constexpr TKeyCode Insert = 0x2D;
constexpr TKeyCode Delete = 0x2E;
constexpr TKeyCode Help = 0x2F;
constexpr TKeyCode LWin = 0x5B;
constexpr TKeyCode RWin = 0x5C;
constexpr TKeyCode Apps = 0x5D;
constexpr TKeyCode Sleep = 0x5F;
constexpr TKeyCode Numpad0 = 0x60; // to Numpad9 = 0x69
constexpr TKeyCode Multiply = 0x6A;
constexpr TKeyCode Add = 0x6B;
constexpr TKeyCode Separator = 0x6C;
constexpr TKeyCode Subtract = 0x6D;
constexpr TKeyCode Decimal = 0x6E;
constexpr TKeyCode Divide = 0x6F;
constexpr TKeyCode F1 = 0x70; // to F24 = 0x87
constexpr TKeyCode NumLock = 0x90;
constexpr TKeyCode Scroll = 0x91;
constexpr TKeyCode Oem1 = 0xBA;     // ;: (US layout)
constexpr TKeyCode OemPlus = 0xBB;  // =+
constexpr TKeyCode OemComma = 0xBC; // ,<
constexpr TKeyCode OemMinus = 0xBD; // -_
constexpr TKeyCode OemPeriod = 0xBE; // .>
constexpr TKeyCode Oem2 = 0xBF;     // /?
constexpr TKeyCode Oem3 = 0xC0;     // `~
constexpr TKeyCode Oem4 = 0xDB;     // [{
constexpr TKeyCode Oem5 = 0xDC;     // \|
constexpr TKeyCode Oem6 = 0xDD;     // ]}
constexpr TKeyCode Oem7 = 0xDE;     // '"
constexpr TKeyCode Oem102 = 0xE2;   // the extra key beside left Shift (\_ on Japanese keyboards)
} // namespace vk
