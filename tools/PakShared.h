// Pieces the "pak" subcommands share: names between UTF-8 and code page
// 932, error lines, and message boxes that print instead of asking.
#pragma once

#include "port/MessageBoxes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pendar::tool::pak {

// A command-line name in code page 932, or nullopt when it has no such form.
std::optional<std::string> NameFromArgument(std::string_view utf8);
// A stored name for output.
std::string NameForOutput(std::string_view cp932);
// "pendar-tool pak: what" on standard error; returns kExitFailure.
int Fail(const std::string& what);
// "pendar-tool pak: what" and the usage lines; returns kExitUsage.
int Usage(const std::string& what);

// Library message boxes during a subcommand: the texts are printed to
// standard error as error lines.
class PrintedMessageBoxes final : public port::IMessageBoxes {
public:
    PrintedMessageBoxes() { port::SetMessageBoxes(this); }
    ~PrintedMessageBoxes() override { port::SetMessageBoxes(nullptr); }
    port::MessageResult Show(std::string_view text, std::string_view caption, port::MessageButtons,
                             port::MessageIcon) override;
};

using Args = std::vector<std::string>;
int RunList(const Args& args);
int RunExtract(const Args& args);
int RunVerify(const Args& args);
int RunCreate(const Args& args);
int RunAdd(const Args& args);
int RunDelete(const Args& args);

} // namespace pendar::tool::pak
