// The application object of a subcommand whose work runs the Qt event loop
// (socket waits) or draws widgets (ToolApplication<QApplication>).
#pragma once

#include <QCoreApplication>

namespace pendar::tool {

template <typename App>
class ToolApplication {
public:
    ToolApplication() : app_(argc_, argv_) {}

private:
    int argc_ = 1;
    char name_[12] = "pendar-tool";
    char* argv_[2] = {name_, nullptr};
    App app_;
};

using EventLoopApplication = ToolApplication<QCoreApplication>;

} // namespace pendar::tool
