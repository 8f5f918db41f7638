// Small panel trees for the tests: panels placed by hand, solid images, and
// a log that every panel's events write to.
#pragma once

#include "panel/ZoRGBPanel.h"
#include "raster/ZoRGBBits.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace pendar::test {

// A created 24-bit image of one colour.
inline std::unique_ptr<TZoRGBBits> SolidImage(int w, int h, TZoRGB colour)
{
    auto image = std::make_unique<TZoRGBBits>();
    image->Resize(w, h);
    EXPECT_TRUE(image->Create());
    image->BoxFill(0, 0, w - 1, h - 1, image->TZoRGBtoPixel(colour));
    return image;
}

class PanelTree {
public:
    // A panel at (x, y) of `parent` (none for a root), w x h, sized by hand.
    TZoRGBPanel& Add(const std::string& name, TZoRGBPanel* parent, int x, int y, int w, int h)
    {
        auto panel = std::make_unique<TZoRGBPanel>();
        panel->SetAutoSize(false);
        panel->SetOffsetX(x);
        panel->SetOffsetY(y);
        panel->SetSizeX(w);
        panel->SetSizeY(h);
        panel->SetParent(parent);
        Watch(*panel, name);
        panels_.push_back(std::move(panel));
        return *panels_.back();
    }

    // Every event of `panel` writes "name.Event" (with its arguments) to the
    // log.
    void Watch(TZoRGBPanel& p, const std::string& name)
    {
        auto note = [this, name](const std::string& what) {
            return [this, name, what](TZoRGBPanel*) { log.push_back(name + "." + what); };
        };
        p.OnClick = note("Click");
        p.OnCreate = note("Create");
        p.OnRelease = note("Release");
        p.OnShow = note("Show");
        p.OnHide = note("Hide");
        p.OnMouseEnter = note("Enter");
        p.OnMouseLeave = note("Leave");
        p.OnActivate = note("Activate");
        p.OnDeactivate = note("Deactivate");
        p.OnMouseMove = [this, name](TZoRGBPanel*, TShiftState, int x, int y) {
            log.push_back(name + ".Move" + At(x, y));
        };
        p.OnMouseDown = [this, name](TZoRGBPanel*, TMouseButton, TShiftState, int x, int y) {
            log.push_back(name + ".Down" + At(x, y));
        };
        p.OnMouseUp = [this, name](TZoRGBPanel*, TMouseButton, TShiftState, int x, int y) {
            log.push_back(name + ".Up" + At(x, y));
        };
        p.OnKeyDown = [this, name](TZoRGBPanel*, TKeyCode& key, TShiftState) {
            log.push_back(name + ".KeyDown" + std::to_string(key));
        };
    }

    // The log so far as one line, emptied.
    std::string Take()
    {
        std::string all;
        for (const std::string& entry : log)
            all += (all.empty() ? "" : " ") + entry;
        log.clear();
        return all;
    }

    std::vector<std::string> log;

private:
    static std::string At(int x, int y) { return "(" + std::to_string(x) + "," + std::to_string(y) + ")"; }

    std::vector<std::unique_ptr<TZoRGBPanel>> panels_;
};

} // namespace pendar::test
