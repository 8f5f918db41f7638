// Skins the desktop tests write into a live install's Data folder: 24-bit
// pictures drawn by a rule, the key colour (top-left) for what is left out.
#pragma once

#include "LivePendar.h"
#include "raster/BmpFixture.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace pendar::test {

constexpr uint32_t kSkinKey = 0xFF00FF;

// A width x height picture: `colour` where `shown(x, y)`, the key elsewhere.
inline std::string Picture(int width, int height, const std::function<bool(int, int)>& shown, uint32_t colour)
{
    std::vector<uint8_t> bgr(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = shown(x, y) ? colour : kSkinKey;
            uint8_t* p = &bgr[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
            p[0] = c & 0xFF;
            p[1] = (c >> 8) & 0xFF;
            p[2] = (c >> 16) & 0xFF;
        }
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    std::vector<uint8_t> file = MakeBmp(spec, bgr);
    return std::string(file.begin(), file.end());
}

// A filled picture with a one-pixel border of the key colour.
inline std::string BlockPicture(int width, int height, uint32_t colour)
{
    return Picture(
        width, height, [=](int x, int y) { return x > 0 && y > 0 && x < width - 1 && y < height - 1; }, colour);
}

// Data/<name>/ with Info.ini (its lines, "PICTURE1=Pic.bmp" added), the
// character Pic.bmp and the balloon Fukidasi.bmp.
inline void WriteSkin(const LivePendar& app, const std::string& name, const std::vector<std::string>& info,
                      const std::string& character, const std::string& balloon)
{
    std::filesystem::create_directory(app.dir.File("Data/" + name));
    std::string text = "NAME=" + name + "\r\nPICTURE1=Pic.bmp\r\n";
    for (const std::string& line : info)
        text += line + "\r\n";
    app.dir.Write("Data/" + name + "/Info.ini", text);
    app.dir.Write("Data/" + name + "/Pic.bmp", character);
    app.dir.Write("Data/" + name + "/Fukidasi.bmp", balloon);
}

// Whether the window's shape holds the balloon: the character sits a
// balloon's width into the window, and the balloon beside it.
inline bool BalloonShown(const LivePendar& app, int balloonWidth, int characterWidth)
{
    for (const xcb_rectangle_t& r : app.x.Shape(app.Main()))
        if (r.x < balloonWidth || r.x + r.width > balloonWidth + characterWidth)
            return true;
    return false;
}

} // namespace pendar::test
