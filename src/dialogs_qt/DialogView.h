// What the dialogs' Qt views share: their font, colours, the screen area and
// following the main window's stay-on-top state.
#pragma once

#include "port/Rect.h"

#include <QColor>
#include <QFont>
#include <QRect>

#include <cstdint>
#include <functional>

class QEvent;
class QWidget;

namespace pendar {

// Whether the main window stays on top; the dialogs follow it when activated.
using StayOnTopQuery = std::function<bool()>;

// The frame of a window whose size the user does not change: a title and a
// close button, no minimise or maximise button.
constexpr Qt::WindowFlags kFixedFrame = Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// "ＭＳ Ｐゴシック", 12 pixels.
QFont DialogFont();
// A platform colour value 0x00BBGGRR.
QColor ToQColor(uint32_t colour);
port::TRect ToRect(const QRect& r);
// The primary screen without the task bar and panels.
port::TRect ScreenArea();

// Moves `window` to the centre of the screen area.
void CentreOnScreen(QWidget& window);

// Moves `window` centred on `owner`, kept inside the screen area.
void CentreWindowOn(QWidget& window, const port::TRect& owner);

// Moves `window` beside `owner` without covering it, inside the screen area.
void PlaceBeside(QWidget& window, const port::TRect& owner);

// Where a widget is on the screen (a window with its frame).
port::TRect ScreenRect(const QWidget& widget);

// Gives a window the stay-on-top state. A hidden window takes it with its
// flags, for its next show; a shown one changes it in place on its native
// window, never hidden and shown again (that would end a modal run).
void SetOnTop(QWidget& window, bool onTop);

// On the window's activation, gives it the stay-on-top state the query
// answers (the main window's may have changed since it was shown).
void FollowStayOnTop(QWidget& window, const QEvent& event, const StayOnTopQuery& stayOnTop);

} // namespace pendar
