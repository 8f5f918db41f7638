// The character's animations: idle pictures and strips, click animations
// and the talking animation of the strip layout, stepped by the tick.
#include "app/MainForm.h"

namespace {

// A random number below n (n > 0).
int Below(pendar::IRandomSource& random, int n)
{
    return random.Next() % n;
}

} // namespace

bool TMainForm::AnimationRunning() const
{
    return animeMode_ != amPicture;
}

void TMainForm::StartStrip(int mode, int n, int repeats)
{
    const bool anime = mode == amAnime;
    if (n < 0 || n >= (anime ? skin_.animeCount : skin_.clickCount))
        return;
    // The strip that plays now is let go, unless it plays again.
    if (animeMode_ != amPicture && !(animeMode_ == mode && animeIndex_ == n))
        DropStrip(animeMode_, animeIndex_);
    if (!LoadStrip(mode, n)) {
        if (animeMode_ != amPicture)
            EndAnimation();
        return;
    }
    animeMode_ = mode;
    animeIndex_ = n;
    animeDelay_ = (anime ? skin_.animes : skin_.clicks)[static_cast<size_t>(n)].delay;
    animeFrame_ = 0;
    animeRepeats_ = repeats;
    ShowFrame(mode, n, 0);
}

void TMainForm::StartAnime(int n, int repeats)
{
    StartStrip(amAnime, n, repeats);
}

void TMainForm::StartClick(int n, int repeats)
{
    StartStrip(amClick, n, repeats);
}

void TMainForm::StepAnimation()
{
    if (animeMode_ == amPicture)
        return;
    // A frame stays for delay + 1 ticks.
    if (--animeDelay_ >= 0)
        return;
    const TSkinStrip& strip = (animeMode_ == amAnime ? skin_.animes : skin_.clicks)[static_cast<size_t>(animeIndex_)];
    animeDelay_ = strip.delay;
    if (++animeFrame_ >= strip.frames) {
        if (--animeRepeats_ <= 0) {
            EndAnimation();
            return;
        }
        animeFrame_ = 0;
    }
    ShowFrame(animeMode_, animeIndex_, animeFrame_);
}

void TMainForm::EndAnimation()
{
    DropStrip(animeMode_, animeIndex_);
    animeMode_ = amPicture;
    animeIndex_ = skin_.quentilFlag > 0 || skin_.pictureCount <= 0 ? 0 : Below(svc_.random, skin_.pictureCount);
    animeFrame_ = 0;
    ShowFrame(amPicture, animeIndex_, 0);
    idleCountdown_ = 4;
}

bool TMainForm::LoadStrip(int mode, int n)
{
    if ((mode != amAnime && mode != amClick) || n < 0 || n >= kSkinSlots)
        return false;
    return skins_.LoadStrip(mode == amClick, n, skin_);
}

void TMainForm::DropStrip(int mode, int n)
{
    if ((mode != amAnime && mode != amClick) || n < 0 || n >= kSkinSlots)
        return;
    skins_.DropStrip(mode == amClick, n);
}

void TMainForm::IdleAction()
{
    if (svc_.random.Next() % 10 == 0) {
        if (skin_.quentilFlag > 0) {
            StartAnime(svc_.random.Next() % 4 == 0 ? 3 : 0, 1);
        } else if (skin_.pictureCount == 0 || (skin_.animeCount > 0 && svc_.random.Next() % 2 == 0)) {
            if (skin_.animeCount > 0)
                StartAnime(Below(svc_.random, skin_.animeCount), 1);
        } else {
            int picture = Below(svc_.random, skin_.pictureCount);
            if (picture != animeIndex_) {
                animeIndex_ = picture;
                ShowFrame(animeMode_, picture, 0);
            }
        }
    }
    if (skin_.randomWavCount > 0 && svc_.random.Next() % 40 == 0) {
        const std::string& wave = skin_.randomWavs[static_cast<size_t>(Below(svc_.random, skin_.randomWavCount))];
        if (settings_.waveFlag && settings_.randomWav && !wave.empty() && !zoWave_.Playing())
            PlaySkinWave(wave);
    }
}

void TMainForm::MainImageClick()
{
    if (animeMode_ == amClick || skin_.quentilFlag > 0)
        return;
    if (skin_.clickCount > 0)
        StartClick(Below(svc_.random, skin_.clickCount), 1);
}

void TMainForm::StartTalking()
{
    if (skin_.quentilFlag > 0)
        StartAnime(1, 10);
}
