// What the main window shows, as the logic decides it: where the character
// and the balloon sit inside the window, the clock labels and balloon lines,
// and the window's shape. The view draws this state whenever the logic says
// which part of it changed (IMainView::FaceChanged).
#pragma once

#include "app/Region.h"
#include "platform/Font.h"
#include "port/Rect.h"

#include <array>
#include <optional>
#include <string>

namespace pendar {

enum TFaceLabelId { flYear, flDate, flWeek, flTime, flLine1, flLine2, flLine3, flLine4 };
constexpr int kFaceLabelCount = 8;
constexpr int kClockLabelCount = 4; // flYear .. flTime; the rest are the balloon's lines

// A transparent text label on the character (clock) or the balloon (lines).
struct TFaceLabel {
    std::string text; // code page 932
    int left = 0;     // inside its panel
    int top = 0;
    int width = 0;    // 0: as wide and high as its text
    int height = 0;
    bool visible = true;
    TFont font;
};

// Parts of the face, for IMainView::FaceChanged.
enum TFacePart : unsigned {
    fpLayout = 1,  // window size, both panels, the balloon's visibility
    fpLabels = 2,  // texts, places and fonts of the labels
    fpShape = 4,   // the window's shape
    fpBalloonShape = 8, // the balloon panel's own shape
};

struct TFace {
    int windowWidth = 480;
    int windowHeight = 320;
    port::TRect mainPanel{0, 0, 160, 160}; // the character, in the window
    port::TRect mesPanel{0, 0, 256, 128};  // the balloon, in the window
    bool mesVisible = false;
    std::array<TFaceLabel, kFaceLabelCount> labels;
    // The window's shape once one was applied; the balloon panel's shape.
    std::optional<TRegion> windowShape;
    TRegion mesShape;

    TFaceLabel& Label(TFaceLabelId id) { return labels[static_cast<size_t>(id)]; }
    const TFaceLabel& Label(TFaceLabelId id) const { return labels[static_cast<size_t>(id)]; }
};

} // namespace pendar
