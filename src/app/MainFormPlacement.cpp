// Where the character may sit: the alignment after the task-bar mode.
#include "app/MainForm.h"

void TMainForm::ApplyTaskbarMode()
{
    mappedAlign_ = skin_.align;
    if (!settings_.taskbar)
        return;
    // The character keeps to the screen's edges instead of following windows.
    switch (skin_.align) {
    case alWinTop: mappedAlign_ = alBottom; break;
    case alWinBottom: mappedAlign_ = alTop; break;
    case alWinLeft: mappedAlign_ = alRight; break;
    case alWinRight: mappedAlign_ = alLeft; break;
    default: break;
    }
}
