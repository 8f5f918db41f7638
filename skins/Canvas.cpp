#include "Canvas.h"

#include <algorithm>
#include <cmath>

namespace sorel {

namespace {

constexpr uint32_t kCovered = 0x01000000;
constexpr double kPi = 3.14159265358979323846;

double SegmentDistance(Point p, Point a, Point b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = p.x - (a.x + t * dx);
    const double ey = p.y - (a.y + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

void PutLE(std::string& out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

} // namespace

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), samples_(size_t(width) * size_t(height) * kSamples * kSamples, 0)
{
}

Canvas::Canvas(int width, int height, double scale, Point origin) : Canvas(width, height)
{
    scale_ = scale;
    origin_ = origin;
}

void Canvas::Fill(double left, double top, double right, double bottom, uint32_t colour,
                  const std::function<bool(double, double)>& inside)
{
    const int sw = width_ * kSamples;
    const int sh = height_ * kSamples;
    const int x0 = std::max(0, static_cast<int>(std::floor(ToGridX(left))));
    const int y0 = std::max(0, static_cast<int>(std::floor(ToGridY(top))));
    const int x1 = std::min(sw, static_cast<int>(std::ceil(ToGridX(right))) + 1);
    const int y1 = std::min(sh, static_cast<int>(std::ceil(ToGridY(bottom))) + 1);
    for (int sy = y0; sy < y1; ++sy) {
        const double y = origin_.y + (sy + 0.5) / kSamples / scale_;
        for (int sx = x0; sx < x1; ++sx) {
            const double x = origin_.x + (sx + 0.5) / kSamples / scale_;
            if (inside(x, y))
                samples_[size_t(sy) * size_t(sw) + size_t(sx)] = (colour & 0xFFFFFF) | kCovered;
        }
    }
}

void Canvas::Ellipse(double cx, double cy, double rx, double ry, uint32_t colour, double degrees)
{
    const double c = std::cos(degrees * kPi / 180);
    const double s = std::sin(degrees * kPi / 180);
    const double r = std::max(rx, ry);
    Fill(cx - r, cy - r, cx + r, cy + r, colour, [=](double x, double y) {
        const double u = ((x - cx) * c + (y - cy) * s) / rx;
        const double v = (-(x - cx) * s + (y - cy) * c) / ry;
        return u * u + v * v <= 1;
    });
}

void Canvas::Line(Point a, Point b, double width, uint32_t colour)
{
    const double r = width / 2;
    Fill(std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r, std::max(a.y, b.y) + r, colour,
         [=](double x, double y) { return SegmentDistance({x, y}, a, b) <= r; });
}

void Canvas::Polyline(const std::vector<Point>& points, double width, uint32_t colour)
{
    for (size_t i = 1; i < points.size(); ++i)
        Line(points[i - 1], points[i], width, colour);
}

void Canvas::Arc(double cx, double cy, double rx, double ry, double from, double to, double width, uint32_t colour)
{
    std::vector<Point> points;
    const int steps = 24;
    for (int i = 0; i <= steps; ++i) {
        const double a = (from + (to - from) * i / steps) * kPi / 180;
        points.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    Polyline(points, width, colour);
}

void Canvas::Polygon(const std::vector<Point>& points, uint32_t colour)
{
    double left = points[0].x, right = points[0].x, top = points[0].y, bottom = points[0].y;
    for (const Point& p : points) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    Fill(left, top, right, bottom, colour, [&](double x, double y) {
        bool inside = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const Point& a = points[i];
            const Point& b = points[j];
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
                inside = !inside;
        }
        return inside;
    });
}

void Canvas::RoundRect(double left, double top, double right, double bottom, double radius, uint32_t colour)
{
    Fill(left, top, right, bottom, colour, [=](double x, double y) {
        const double dx = std::max({left + radius - x, 0.0, x - (right - radius)});
        const double dy = std::max({top + radius - y, 0.0, y - (bottom - radius)});
        return x >= left && x <= right && y >= top && y <= bottom && dx * dx + dy * dy <= radius * radius;
    });
}

Canvas::Coverage Canvas::Cover(int x, int y) const
{
    Coverage sum;
    const int sw = width_ * kSamples;
    for (int j = 0; j < kSamples; ++j) {
        for (int i = 0; i < kSamples; ++i) {
            const uint32_t s = samples_[size_t(y * kSamples + j) * size_t(sw) + size_t(x * kSamples + i)];
            if (!(s & kCovered))
                continue;
            sum.r += (s >> 16) & 0xFF;
            sum.g += (s >> 8) & 0xFF;
            sum.b += s & 0xFF;
            ++sum.covered;
        }
    }
    return sum;
}

std::vector<uint32_t> Canvas::Pixels(uint32_t key) const
{
    std::vector<uint32_t> out(size_t(width_) * size_t(height_), key);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const Coverage c = Cover(x, y);
            if (c.covered * 2 < kSamples * kSamples)
                continue;
            uint32_t colour = ((c.r / c.covered) << 16) | ((c.g / c.covered) << 8) | (c.b / c.covered);
            // Never the key itself, or the shape would get a hole there.
            out[size_t(y) * size_t(width_) + size_t(x)] = colour == key ? colour ^ 1 : colour;
        }
    }
    return out;
}

std::vector<uint32_t> Canvas::Rgba() const
{
    std::vector<uint32_t> out(size_t(width_) * size_t(height_), 0);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const Coverage c = Cover(x, y);
            if (c.covered == 0)
                continue;
            const uint32_t alpha = c.covered * 255 / (kSamples * kSamples);
            out[size_t(y) * size_t(width_) + size_t(x)] =
                (alpha << 24) | ((c.r / c.covered) << 16) | ((c.g / c.covered) << 8) | (c.b / c.covered);
        }
    }
    return out;
}

std::string Bmp(int width, int height, const std::vector<uint32_t>& pixels)
{
    const uint32_t row = (uint32_t(width) * 3 + 3) & ~3u;
    const uint32_t image = row * uint32_t(height);
    std::string out = "BM";
    PutLE(out, 54 + image, 4);
    PutLE(out, 0, 4);
    PutLE(out, 54, 4);
    PutLE(out, 40, 4);
    PutLE(out, uint32_t(width), 4);
    PutLE(out, uint32_t(height), 4);
    PutLE(out, 1, 2);
    PutLE(out, 24, 2);
    PutLE(out, 0, 4);
    PutLE(out, image, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 0, 4);
    PutLE(out, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t c = pixels[size_t(y) * size_t(width) + size_t(x)];
            out.push_back(static_cast<char>(c & 0xFF));
            out.push_back(static_cast<char>((c >> 8) & 0xFF));
            out.push_back(static_cast<char>((c >> 16) & 0xFF));
        }
        out.append(row - uint32_t(width) * 3, '\0');
    }
    return out;
}

std::vector<uint32_t> Strip(const std::vector<std::vector<uint32_t>>& frames, int width, int height)
{
    const size_t total = size_t(width) * frames.size();
    std::vector<uint32_t> out(total * size_t(height));
    for (size_t f = 0; f < frames.size(); ++f)
        for (int y = 0; y < height; ++y)
            std::copy_n(frames[f].begin() + y * width, width, out.begin() + long(size_t(y) * total + f * size_t(width)));
    return out;
}

} // namespace sorel
