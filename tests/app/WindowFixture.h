// The main window's Qt view over a form whose later-built steps are
// recorded, with its menu entries found by their captions.
#pragma once

#include "TestForm.h"
#include "app_qt/MainWindow.h"

#include <QAction>
#include <QMenu>

namespace pendar::test {

struct WindowFixture {
    RecordingWorld world;
    TempDir dir;
    pendar::MainWindow window;
    TestForm form{{world.clock, world.clockSetter, world.boxes, window, world.messages, world.tray,
                   world.tracker, world.random, world.priority, world.log, dir.File("Pendar.ini")}};
    WindowFixture() { window.Attach(form); }

    QAction* Action(const char* utf8Caption)
    {
        QString caption = QString::fromUtf8(utf8Caption);
        for (QAction* a : window.PopupMenu()->actions())
            if (a->text() == caption)
                return a;
        return nullptr;
    }
};

} // namespace pendar::test
