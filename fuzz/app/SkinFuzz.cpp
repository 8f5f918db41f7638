// A skin's hostile parts: Info.ini read line by line into a description,
// and a picture's shape. The first byte picks which; the rest is the file.
// Besides surviving, the description must come out within the bounds the
// clock face relies on, and a shape within its picture and in banded form.
#include "app/MakeRegion.h"
#include "app/SkinKeys.h"
#include "app/SkinParse.h"
#include "port/Stream.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void Description(std::string_view text)
{
    TSkinInfo skin;
    for (std::string_view line : SplitSkinLines(text))
        ParseSkinLine(skin, line);
    FinishSkinInfo(skin);
    Check(skin.onTop == 0 || skin.onTop == 1);
    Check(skin.align >= alFree && skin.align <= alWinRight);
    Check(skin.quentilFlag <= kMaxQuentilFrames);
    Check(skin.mesOffsetLX >= 0 && skin.mesOffsetRX >= 0);
    for (const auto* strips : {&skin.animes, &skin.clicks})
        for (const TSkinStrip& s : *strips)
            Check(s.frames >= 1 && s.delay >= 0);
    for (int count : {skin.pictureCount, skin.animeCount, skin.clickCount, skin.randomWavCount})
        Check(count >= 0 && count <= kSkinSlots);
    Check(!DescribeSkin(skin).empty());
}

void Shape(const uint8_t* data, size_t size, bool mirrored)
{
    TMemoryStream stream(data, size);
    TZoRGBBits picture;
    if (!picture.DrawBmpStream(&stream, 0, 0) || !picture.Created() ||
        int64_t{picture.Width()} * picture.Height() > (1 << 20))
        return;
    std::optional<pendar::TRegion> shape =
        pendar::MakeRegion(picture, mirrored, 0, 0, picture.Width(), picture.Height());
    Check(shape.has_value());
    Check(shape->Count() <= pendar::kMaxShapeRects);
    const port::TRect* last = nullptr;
    for (const port::TRect& r : shape->Rects()) {
        Check(r.left >= 0 && r.left < r.right && r.right <= picture.Width());
        Check(r.top >= 0 && r.top < r.bottom && r.bottom <= picture.Height());
        // Banded: a band's rectangles share its rows and stand apart; bands
        // follow each other downwards.
        if (last)
            Check(last->bottom <= r.top ||
                  (last->top == r.top && last->bottom == r.bottom && last->right < r.left));
        last = &r;
    }
    Check(shape->United(*shape) == *shape);
    Check(mirrored || !shape->Contains(0, 0)); // the key pixel itself
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t mode = data[0] % 3;
    if (mode == 0)
        Description(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    else
        Shape(data + 1, size - 1, mode == 2);
    return 0;
}
