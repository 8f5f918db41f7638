// Stand-ins for the services that subcommands without a desktop use: they
// accept every call and show nothing.
#pragma once

#include "app/MainFormServices.h"

namespace pendar {

// Messages go nowhere until the speech balloon shows them.
class UnshownMessages final : public IMessageStore {
public:
    void FlushMessage() override {}
    void AddMessage(std::string_view) override {}
    void CommitMessage(bool) override {}
    void SkipMessage() override {}
    void ShowNextPage() override {}
};

// No notification-area icon: the window keeps its task-bar entry.
class NoTrayIcon final : public ITrayIcon {
public:
    bool Add(std::string_view, std::string_view) override { return false; }
    void SetIcon(std::string_view) override {}
    void Delete() override {}
    bool Shown() const override { return false; }
};

} // namespace pendar
