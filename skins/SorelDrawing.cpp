#include "SorelDrawing.h"

namespace sorel {

namespace {

constexpr uint32_t kHair = 0xB5562E;
constexpr uint32_t kHairLight = 0xCD7045;
constexpr uint32_t kSkin = 0xFFE3CC;
constexpr uint32_t kBlush = 0xF7A9A0;
constexpr uint32_t kEye = 0x3B2314;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kLeaf = 0x6DBB4A;
constexpr uint32_t kLeafVein = 0x3F7F2A;
constexpr uint32_t kDress = 0x8CC77A;
constexpr uint32_t kCollar = 0xFFF8EE;
constexpr uint32_t kBoard = 0x8B5A2B;
constexpr uint32_t kBoardFace = 0xF6E7C8;
constexpr uint32_t kShoes = 0x7A4A2A;
constexpr uint32_t kTongue = 0xE8727A;
constexpr uint32_t kNote = 0x5A7FCF;
constexpr uint32_t kExclaim = 0xE0503C;

// Draws a shape twice: grown by the outline's width in the outline colour,
// then itself.
template <typename Shape>
void Outlined(Shape shape, uint32_t colour, double outline = 2)
{
    shape(outline, kOutline);
    shape(0, colour);
}

void Sprout(Canvas& c, double hx, double hy, double sway)
{
    const Point base{84 + hx, 30 + hy};
    const double lean = sway * 0.35;
    const Point top{84 + hx + lean, 8 + hy};
    c.Line(base, top, 5, kOutline);
    c.Line(base, top, 2.5, kLeafVein);
    // Two arrow-shaped leaves, as sorrel has.
    for (int side : {-1, 1}) {
        const double angle = side * 28 + sway;
        const double cx = top.x + side * 10;
        const double cy = top.y + 2 - side * 0.5;
        Outlined([&](double grow, uint32_t colour) { c.Ellipse(cx, cy, 11 + grow, 5 + grow, colour, angle); },
                 kLeaf);
        c.Line({cx - side * 8, cy - side * 8 * 0.5}, {cx + side * 6, cy + side * 3}, 1.2, kLeafVein);
    }
}

void Hair(Canvas& c, double hx, double hy)
{
    Outlined([&](double g, uint32_t colour) { c.Circle(84 + hx, 62 + hy, 42 + g, colour); }, kHair);
    for (int side : {-1, 1})
        Outlined([&](double g, uint32_t colour) { c.Ellipse(84 + hx + side * 37, 84 + hy, 9 + g, 22 + g, colour); },
                 kHair);
}

void Face(Canvas& c, double hx, double hy)
{
    Outlined([&](double g, uint32_t colour) { c.Ellipse(84 + hx, 74 + hy, 33 + g, 28 + g, colour); }, kSkin);
    // The fringe over the forehead.
    const struct {
        double x, y, rx, ry, angle;
    } locks[] = {{64, 50, 17, 11, 25}, {84, 46, 17, 11, 0}, {104, 50, 17, 11, -25}};
    for (const auto& l : locks)
        c.Ellipse(l.x + hx, l.y + hy, l.rx + 2, l.ry + 2, kOutline, l.angle);
    for (const auto& l : locks)
        c.Ellipse(l.x + hx, l.y + hy, l.rx, l.ry, kHair, l.angle);
    c.Arc(78 + hx, 40 + hy, 12, 6, 200, 300, 2.5, kHairLight);
}

void Eye(Canvas& c, double x, double y, Eyes eyes, double look)
{
    switch (eyes) {
    case Eyes::Open:
        c.Ellipse(x + look, y, 5, 7, kEye);
        c.Circle(x + look - 1.5, y - 3, 2, kWhite);
        break;
    case Eyes::Half:
        c.Ellipse(x + look, y + 2.5, 5, 3.5, kEye);
        c.Arc(x, y + 1.5, 6.5, 2.5, 180, 360, 2, kOutline);
        break;
    case Eyes::Closed:
        c.Arc(x, y, 6, 3, 15, 165, 2, kOutline);
        break;
    case Eyes::Happy:
        c.Arc(x, y + 2, 6, 5, 200, 340, 2.2, kOutline);
        break;
    case Eyes::Wide:
        c.Circle(x, y, 7, kOutline);
        c.Circle(x, y, 5.5, kWhite);
        c.Circle(x + look, y, 2.8, kEye);
        break;
    }
}

void DrawMouth(Canvas& c, double x, double y, Mouth mouth)
{
    switch (mouth) {
    case Mouth::Smile:
        c.Arc(x, y - 3, 6, 4, 20, 160, 2, kOutline);
        break;
    case Mouth::Open:
        c.Ellipse(x, y, 5, 4, kOutline);
        c.Ellipse(x, y + 1.8, 3, 1.8, kTongue);
        break;
    case Mouth::Round:
        c.Ellipse(x, y, 3, 3.5, kOutline);
        break;
    case Mouth::Grin:
        c.Fill(x - 8, y - 2, x + 8, y + 6, kOutline, [=](double px, double py) {
            const double u = (px - x) / 7, v = (py - (y - 2)) / 6;
            return py >= y - 2 && u * u + v * v <= 1;
        });
        c.Ellipse(x, y + 2.5, 3.5, 1.8, kTongue);
        break;
    }
}

void Body(Canvas& c)
{
    for (int side : {-1, 1})
        Outlined([&](double g, uint32_t colour) { c.Ellipse(84 + side * 20, 196, 13 + g, 7 + g, colour); }, kShoes);
    Outlined([&](double g, uint32_t colour) { c.RoundRect(52 - g, 96 - g, 116 + g, 190 + g, 16 + g, colour); },
             kDress);
    c.Polygon({{70, 98}, {98, 98}, {84, 112}}, kCollar);
}

// The wooden board the clock is written on; its light face is where the
// clock labels sit (x 29..139, y 117..183).
void Board(Canvas& c)
{
    c.RoundRect(22, 110, 146, 190, 10, kOutline);
    c.RoundRect(24, 112, 144, 188, 8, kBoard);
    c.RoundRect(29, 117, 139, 183, 5, kBoardFace);
    for (double x : {27.0, 141.0})
        for (double y : {115.0, 185.0})
            c.Circle(x, y, 1.2, kOutline);
    for (int side : {-1, 1})
        Outlined([&](double g, uint32_t colour) { c.Circle(84 + side * 54, 116, 6.5 + g, colour); }, kSkin);
}

void Note(Canvas& c, double y)
{
    c.Ellipse(138, 44 + y, 5, 3.8, kNote, -20);
    c.Line({142.5, 43 + y}, {142.5, 24 + y}, 2, kNote);
    c.Polyline({{142.5, 24 + y}, {150, 28 + y}, {149, 34 + y}}, 2, kNote);
}

void Exclaim(Canvas& c)
{
    c.Line({140, 14}, {137, 32}, 5, kExclaim);
    c.Circle(136, 40, 3, kExclaim);
}

} // namespace

void Draw(Canvas& c, const Pose& p)
{
    const double hx = p.headX;
    const double hy = p.headY;
    Body(c);
    Sprout(c, hx, hy, p.sway);
    Hair(c, hx, hy);
    Face(c, hx, hy);
    for (int side : {-1, 1}) {
        Eye(c, 84 + hx + side * 14, 76 + hy, p.eyes, p.look);
        c.Ellipse(84 + hx + side * 23, 88 + hy, p.blushing ? 7 : 6, p.blushing ? 4 : 3.2, kBlush);
    }
    DrawMouth(c, 84 + hx, 92 + hy, p.mouth);
    Board(c);
    if (p.note)
        Note(c, p.noteY);
    if (p.exclaim)
        Exclaim(c);
}


} // namespace sorel
