// sorel-art INFO_SOURCE OUT_FOLDER: draws the sample character "Sorel" -- a
// girl with chestnut hair and a sorrel sprout who holds the clock on a
// wooden board -- and writes her pictures, strips and balloon as 24-bit
// BMPs, with Info.ini turned from UTF-8 into code page 932. The same
// program always draws the same pixels: no randomness, no clock.
#include "Canvas.h"
#include "SorelDrawing.h"

#include "port/Cp932.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using sorel::Canvas;
using sorel::Eyes;
using sorel::Mouth;
using sorel::Point;
using sorel::Pose;
using sorel::kOutline;

constexpr int kWidth = sorel::kArtWidth;
constexpr int kHeight = sorel::kArtHeight;
constexpr uint32_t kKey = 0xFF00FF;

std::vector<uint32_t> Draw(const Pose& p)
{
    Canvas c(kWidth, kHeight);
    sorel::Draw(c, p);
    return c.Pixels(kKey);
}

// The speech balloon, its tail pointing right and down towards the
// character (the window mirrors it when it sits on the other side).
std::vector<uint32_t> DrawBalloon(int& width, int& height)
{
    width = 232;
    height = 122;
    Canvas c(width, height);
    const std::vector<Point> tail = {{148, 94}, {186, 80}, {228, 118}};
    c.RoundRect(3, 3, 209, 105, 33, kOutline);
    c.Polygon(tail, kOutline);
    c.Polyline({tail[0], tail[2], tail[1]}, 6, kOutline); // outside the body only
    c.RoundRect(6, 6, 206, 102, 30, 0xFFFDF5);
    c.Polygon(tail, 0xFFFDF5);
    c.Arc(40, 30, 22, 14, 190, 260, 3, 0xFFFFFF);
    return c.Pixels(kKey);
}

bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool WriteStrip(const std::string& folder, const char* name, const std::vector<Pose>& poses)
{
    std::vector<std::vector<uint32_t>> frames;
    for (const Pose& p : poses)
        frames.push_back(Draw(p));
    const int width = kWidth * static_cast<int>(poses.size());
    return WriteFile(folder + name, sorel::Bmp(width, kHeight, sorel::Strip(frames, kWidth, kHeight)));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: sorel-art INFO_SOURCE OUT_FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[2]) + "/";
    std::ifstream in(argv[1], std::ios::binary);
    std::string info((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::optional<std::string> cp932 = port::Utf8ToCp932Strict(info);
    if (!in.good() && !in.eof()) {
        std::fprintf(stderr, "sorel-art: cannot read %s\n", argv[1]);
        return 1;
    }
    if (!cp932) {
        std::fprintf(stderr, "sorel-art: %s holds text code page 932 cannot\n", argv[1]);
        return 1;
    }

    Pose normal;
    Pose aside = normal;
    aside.look = -2.5;
    aside.sway = -6;
    Pose happy = normal;
    happy.eyes = Eyes::Happy;
    happy.mouth = Mouth::Grin;

    auto with = [](Pose p, auto change) {
        change(p);
        return p;
    };
    const std::vector<Pose> blink = {
        normal, with(normal, [](Pose& p) { p.eyes = Eyes::Half; }), with(normal, [](Pose& p) { p.eyes = Eyes::Closed; }),
        with(normal, [](Pose& p) { p.eyes = Eyes::Half; })};
    std::vector<Pose> sway;
    for (double angle : {-12.0, 0.0, 12.0, 0.0})
        sway.push_back(with(normal, [&](Pose& p) { p.sway = angle; }));
    std::vector<Pose> hum;
    for (int i = 0; i < 4; ++i)
        hum.push_back(with(normal, [&](Pose& p) {
            p.eyes = Eyes::Closed;
            p.mouth = i % 2 ? Mouth::Smile : Mouth::Round;
            p.note = true;
            p.noteY = -4.0 * i;
        }));
    const std::vector<Pose> surprise = {
        with(normal, [](Pose& p) { p.eyes = Eyes::Wide; p.mouth = Mouth::Round; p.headY = -3; p.exclaim = true; }),
        with(normal, [](Pose& p) { p.eyes = Eyes::Wide; p.mouth = Mouth::Open; p.headY = -1; p.exclaim = true; }),
        with(normal, [](Pose& p) { p.mouth = Mouth::Open; })};
    std::vector<Pose> giggle;
    for (double dx : {-2.0, 2.0, -2.0, 2.0})
        giggle.push_back(with(happy, [&](Pose& p) { p.headX = dx; p.blushing = true; }));

    int bw = 0;
    int bh = 0;
    std::vector<uint32_t> balloon = DrawBalloon(bw, bh);
    bool ok = WriteFile(folder + "Info.ini", *cp932) &&
              WriteFile(folder + "Sorel1.bmp", sorel::Bmp(kWidth, kHeight, Draw(normal))) &&
              WriteFile(folder + "Sorel2.bmp", sorel::Bmp(kWidth, kHeight, Draw(aside))) &&
              WriteFile(folder + "Sorel3.bmp", sorel::Bmp(kWidth, kHeight, Draw(happy))) &&
              WriteStrip(folder, "Blink.bmp", blink) && WriteStrip(folder, "Sway.bmp", sway) &&
              WriteStrip(folder, "Hum.bmp", hum) && WriteStrip(folder, "Surprise.bmp", surprise) &&
              WriteStrip(folder, "Giggle.bmp", giggle) &&
              WriteFile(folder + "Fukidasi.bmp", sorel::Bmp(bw, bh, balloon));
    if (!ok) {
        std::fprintf(stderr, "sorel-art: cannot write into %s\n", argv[2]);
        return 1;
    }
    return 0;
}
