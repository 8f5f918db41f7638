// Qt input for a panel tree: Qt's buttons, modifiers and key codes turned
// into the tree's button, shift and key values, and a small router that a
// widget showing the tree hands its events to.
//
// Key codes follow a US keyboard: a punctuation key gives the code of the
// key that carries the character on that layout (';' and ':' both give
// vk::Oem1). Keys without a code give 0.
#pragma once

#include "panel/PanelInput.h"

#include <Qt>

#include <optional>
#include <string>

class QEvent;
class QKeyEvent;
class QPointF;
class TZoRGBPanel;

namespace pendar {

// Left, right and middle; nullopt for any other button.
std::optional<TMouseButton> PanelButton(Qt::MouseButton button);

// Shift, Ctrl and Alt from the modifiers, the held buttons as ssLeft,
// ssRight and ssMiddle, and ssDouble for the second press of a double click.
TShiftState PanelShift(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton,
                       bool doubleClick = false);

// The virtual key code of a Qt key; `modifiers` tells keypad keys apart
// (Qt::KeypadModifier). 0 when the key has none.
TKeyCode PanelKey(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// The characters a key event types, as code page 932 bytes (a double-byte
// character gives its two bytes, one key press each). Characters the code
// page lacks are left out.
std::string PanelKeyChars(const QKeyEvent& event);

// The pixel of a widget position (rounded down, held inside the int range).
int PanelCoordinate(double value);

// Hands a widget's input events to the root of a panel tree. The root is
// drawn at (OffsetX, OffsetY) of the widget, so widget positions are moved
// into the root's coordinates. The widget calls Deliver from its event
// handlers (or from event()); the tree is not owned and must outlive the
// router's use.
class PanelQtInput {
public:
    explicit PanelQtInput(TZoRGBPanel& root) : root_(root) {}

    // Mouse presses (double clicks too), moves, releases, the wheel, enter,
    // leave, key presses and releases. True when the tree took the event;
    // false for any other kind of event or one the tree did not take.
    bool Deliver(QEvent& event);

private:
    void ToRoot(const QPointF& position, int& x, int& y) const;

    TZoRGBPanel& root_;
};

} // namespace pendar
