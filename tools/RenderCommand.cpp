// pendar-tool render PATH --time "YYYY-MM-DD HH:MM" --out FILE.png: draws a
// skin's character with its clock for that moment, as the main window shows
// it (offscreen), into a PNG that is transparent outside the character.
#include "CommandOptions.h"
#include "EventLoopApplication.h"
#include "SkinToolForm.h"
#include "ToolCommand.h"

#include "app_qt/MainWindow.h"
#include "app_qt/ZoPanel.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

namespace pendar::tool {

namespace {

constexpr const char* kUsage = "usage: pendar-tool render PATH --time \"YYYY-MM-DD HH:MM\" --out FILE.png\n";

int Usage(const char* what)
{
    std::fprintf(stderr, "pendar-tool render: %s\n%s", what, kUsage);
    return kExitUsage;
}

int Run(const std::vector<std::string>& args)
{
    if (args.empty() || args[0].rfind("--", 0) == 0)
        return Usage("missing PATH");
    std::optional<CommandOptions> options =
        ParseOptions(std::vector<std::string>(args.begin() + 1, args.end()), {"--time", "--out"}, {});
    if (!options || !options->Has("--time") || !options->Has("--out"))
        return Usage("--time and --out are needed, once each");
    std::optional<port::LocalTime> at = ParseLocalTime(options->values["--time"]);
    if (!at)
        return Usage("--time must be a real \"YYYY-MM-DD HH:MM\"");

    // Drawn offscreen whatever the desktop is.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ToolApplication<QApplication> app;

    MainWindow view;
    SkinToolForm tool(view, *at);
    view.Attach(tool.Form());
    std::string error;
    if (!tool.Open(args[0], error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitFailure;
    }
    QImage picture = view.MainPanel()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const std::optional<TRegion>& shape = tool.Form().CharacterRegion();
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (!shape || !shape->Contains(x, y))
                row[x] = qRgba(0, 0, 0, 0);
    }
    const std::string& out = options->values["--out"];
    if (!picture.save(QString::fromStdString(out), "PNG")) {
        std::fprintf(stderr, "pendar-tool render: cannot write %s\n", out.c_str());
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

} // namespace pendar::tool

PENDAR_TOOL_COMMAND("render", "render PATH --time \"YYYY-MM-DD HH:MM\" --out FILE.png  (a skin's character as a PNG)",
                    pendar::tool::Run);
