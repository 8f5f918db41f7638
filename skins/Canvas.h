// A small rasteriser for the sample skin's art: shapes filled on a
// supersampled grid, then reduced to pixels on a key colour. A pixel is
// part of the picture when at least half of it is covered, and then takes
// the average of the covered samples only, so the edge never blends with
// the key colour (which the window shape leaves out).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sorel {

struct Point {
    double x;
    double y;
};

class Canvas {
public:
    static constexpr int kSamples = 4; // per pixel side

    Canvas(int width, int height);
    // Pixel (x, y) shows the point origin + (x, y) / scale of the drawing,
    // so the same shapes come out at any size.
    Canvas(int width, int height, double scale, Point origin);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Every sample inside `inside` within the box gets `colour` (0xRRGGBB).
    void Fill(double left, double top, double right, double bottom, uint32_t colour,
              const std::function<bool(double x, double y)>& inside);

    // An ellipse centred on (cx, cy), turned by `degrees`.
    void Ellipse(double cx, double cy, double rx, double ry, uint32_t colour, double degrees = 0);
    void Circle(double cx, double cy, double r, uint32_t colour) { Ellipse(cx, cy, r, r, colour); }
    // A line with round ends, `width` wide.
    void Line(Point a, Point b, double width, uint32_t colour);
    // Joined lines through the points.
    void Polyline(const std::vector<Point>& points, double width, uint32_t colour);
    // An arc of the ellipse from `from` to `to` degrees (0 = right, 90 = down).
    void Arc(double cx, double cy, double rx, double ry, double from, double to, double width, uint32_t colour);
    void Polygon(const std::vector<Point>& points, uint32_t colour);
    void RoundRect(double left, double top, double right, double bottom, double radius, uint32_t colour);

    // The pixels, top row first, 0xRRGGBB; uncovered pixels are `key`.
    std::vector<uint32_t> Pixels(uint32_t key) const;
    // The pixels, top row first, 0xAARRGGBB: the alpha is the covered part
    // of the pixel, the colour the average of the covered samples.
    std::vector<uint32_t> Rgba() const;

private:
    // The sample grid's coordinate of a drawing coordinate, and back.
    double ToGridX(double x) const { return (x - origin_.x) * scale_ * kSamples; }
    double ToGridY(double y) const { return (y - origin_.y) * scale_ * kSamples; }

    // The covered samples of a pixel, their colours summed.
    struct Coverage {
        uint32_t r = 0, g = 0, b = 0, covered = 0;
    };
    Coverage Cover(int x, int y) const;

    int width_;
    int height_;
    double scale_ = 1;
    Point origin_{0, 0};
    std::vector<uint32_t> samples_; // colour | 0x01000000 when covered
};

// A 24-bit Windows bitmap of w x h pixels (top row first, 0xRRGGBB).
std::string Bmp(int width, int height, const std::vector<uint32_t>& pixels);

// Frames of equal size side by side.
std::vector<uint32_t> Strip(const std::vector<std::vector<uint32_t>>& frames, int width, int height);

} // namespace sorel
