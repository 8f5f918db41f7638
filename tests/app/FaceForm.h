// A TMainForm with every step real, for the skin and clock-face tests: its
// protected steps and animation state are open to the test, and the voices
// it would play are recorded.
#pragma once

#include "app/MainForm.h"
#include "raster/BmpFixture.h"
#include "support/RecordingServices.h"
#include "support/TempDir.h"

#include <filesystem>
#include <string>
#include <vector>

namespace pendar::test {

class FaceForm : public TMainForm {
public:
    using TMainForm::TMainForm;

    using TMainForm::AnimationRunning;
    using TMainForm::ApplyTaskbarMode;
    using TMainForm::ApplyZOrder;
    using TMainForm::CreatePictureBuffers;
    using TMainForm::EffectiveAlign;
    using TMainForm::IdleAction;
    using TMainForm::LoadPlainSkin;
    using TMainForm::OpenSkin;
    using TMainForm::PlaceWindow;
    using TMainForm::SetBalloonSide;
    using TMainForm::StartAnime;
    using TMainForm::StartClick;
    using TMainForm::StepAnimation;
    using TMainForm::UpdateClock;

    // The window a tick would have found in front.
    void Track(WindowId id, const port::TRect& rect)
    {
        trackedWindow_ = id;
        trackedRect_ = rect;
    }
    int Mode() const { return animeMode_; }
    int Index() const { return animeIndex_; }
    int Frame() const { return animeFrame_; }
    int IdleCountdown() const { return idleCountdown_; }
    const std::optional<TRegion>& BalloonRegion(bool mirrored) const
    {
        return mirrored ? balloonRegionMirrored_ : balloonRegion_;
    }
    // An animation's strip as it is when the animation plays (decoded on
    // demand); HoldsStrip says whether it is decoded now.
    TZoRGBBits& Anime(int slot)
    {
        LoadStrip(amAnime, slot);
        return Skins().Strip(false, slot);
    }
    bool HoldsStrip(int mode, int slot) { return Skins().Strip(mode == amClick, slot).Created(); }
    uint32_t PicturePixel(int slot, int x, int y) { return Skins().Picture(slot).PGet(x, y); }
    uint32_t AnimePixel(int slot, int x, int y) { return Anime(slot).PGet(x, y); }
    using TMainForm::amAnime;
    using TMainForm::amClick;

    std::vector<std::string> played;
    bool realVoices = false; // also play them through the form's own player

    void PlaySkinWave(const std::string& name) override
    {
        played.push_back(name);
        if (realVoices)
            TMainForm::PlaySkinWave(name);
    }
};

// A 24-bit picture for a fixture skin: colours 0xRRGGBB, (0, 0) top-left.
struct TestPicture {
    int width;
    int height;
    std::vector<uint8_t> bgr;

    TestPicture(int w, int h, uint32_t colour) : width(w), height(h), bgr(size_t(w) * size_t(h) * 3)
    {
        Fill(0, 0, w, h, colour);
    }
    void Fill(int x, int y, int w, int h, uint32_t colour)
    {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) {
                uint8_t* p = &bgr[(size_t(j) * size_t(width) + size_t(i)) * 3];
                p[0] = colour & 0xFF;
                p[1] = (colour >> 8) & 0xFF;
                p[2] = (colour >> 16) & 0xFF;
            }
    }
    std::string Bmp() const
    {
        BmpSpec spec;
        spec.width = width;
        spec.height = height;
        std::vector<uint8_t> file = MakeBmp(spec, bgr);
        return std::string(file.begin(), file.end());
    }
};

// The key colour of the fixture pictures.
constexpr uint32_t kKey = 0xFF00FF;

// A character 20 x 30: a 10 x 20 body on the key colour.
inline TestPicture Character(uint32_t body = 0x3366CC)
{
    TestPicture p(20, 30, kKey);
    p.Fill(5, 5, 10, 20, body);
    return p;
}

// A balloon 40 x 20 with its tail on the left.
inline TestPicture Balloon()
{
    TestPicture p(40, 20, kKey);
    p.Fill(2, 2, 36, 16, 0xFFFFEE);
    p.Fill(0, 8, 2, 4, 0xFFFFEE);
    return p;
}

// Skin folders written by the test under Data/ of a temporary folder, and a
// form that looks for its skins there.
// The form draws on `view` when one is given, else on the recording view.
struct SkinWorld {
    RecordingWorld world;
    TempDir dir;
    FaceForm form;

    explicit SkinWorld(IMainView* view = nullptr) : form(Services(view)) { form.CreatePictureBuffers(); }

    TMainForm::Services Services(IMainView* view)
    {
        return {world.clock,    world.clockSetter, world.boxes,    view ? *view : world.view,
                world.messages, world.tray,        world.tracker,  world.random,
                world.priority, world.log,         dir.File("Pendar.ini"), {dir.File("Data/")}};
    }
    std::string SkinFolder(const std::string& skin) const { return dir.File("Data/" + skin + "/"); }
    void Write(const std::string& skin, const std::string& name, const std::string& bytes) const
    {
        std::filesystem::create_directories(std::filesystem::path(SkinFolder(skin) + name).parent_path());
        dir.Write("Data/" + skin + "/" + name, bytes);
    }
    // A skin of one picture and a balloon, with more Info.ini lines.
    void WriteSimpleSkin(const std::string& skin, const std::string& moreInfo = "") const
    {
        Write(skin, "Info.ini", "NAME=Simple\r\nPICTURE1=body.bmp\r\nTIMEOFFX=1\r\nTIMEOFFY=2\r\n" + moreInfo);
        Write(skin, "body.bmp", Character().Bmp());
        Write(skin, "Fukidasi.bmp", Balloon().Bmp());
    }
    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& b : world.boxes.boxes)
            texts.push_back(b.text);
        return texts;
    }
};

} // namespace pendar::test
