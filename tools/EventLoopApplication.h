// The application object of a subcommand whose socket waits run the Qt
// event loop.
#pragma once

#include <QCoreApplication>

namespace pendar::tool {

class EventLoopApplication {
public:
    EventLoopApplication() : app_(argc_, argv_) {}

private:
    int argc_ = 1;
    char name_[12] = "pendar-tool";
    char* argv_[2] = {name_, nullptr};
    QCoreApplication app_;
};

} // namespace pendar::tool
