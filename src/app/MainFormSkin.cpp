// The main window's side of a skin (SkinLoader.cpp): opening one by name,
// telling its failure, and laying out what was loaded.
#include "app/MainForm.h"

#include "base/Sjis.h"

bool TMainForm::OpenSkin(const std::string& name)
{
    std::optional<pendar::TSkinSource> source = pendar::FindSkinSource(svc_.skinFolders, name);
    // A name that cannot be a skin's reads like a skin without Info.ini.
    return OpenSkinFrom(source ? *source : pendar::TSkinSource{});
}

bool TMainForm::OpenSkinFrom(const pendar::TSkinSource& source)
{
    characterRegion_.reset();
    const pendar::SkinOpen step = skins_.Open(source, skin_);
    if (step != pendar::SkinOpen::Opened)
        return SkinFailed(pendar::SkinOpenFailureText(step));
    ApplyTaskbarMode();
    const TZoRGBBits& first = skins_.Picture(0);
    LayoutPanels(first.Width(), first.Height(), 0, 0);
    SetUpClockLabels();
    ShowBalloonPicture();
    ShowLoadedSkin();
    return true;
}

bool TMainForm::SkinFailed(const char* utf8Box)
{
    svc_.messageBoxes.Show(Sjis(utf8Box), Sjis("エラー"), port::MessageButtons::Ok, port::MessageIcon::Exclamation);
    // The box keeps its fixed text; the log says which file and why.
    const std::string& failure = skins_.Failure();
    AddLog(Sjis(utf8Box) + (failure.empty() ? "" : " " + failure), 255);
    return false;
}

bool TMainForm::LoadPlainSkin()
{
    characterRegion_.reset();
    if (!skins_.LoadPlain(skin_))
        return false;
    ApplyTaskbarMode();
    LayoutPanels(160, 160, 0, 0);
    SetUpClockLabels();
    ShowBalloonPicture();
    ShowLoadedSkin();
    return true;
}

void TMainForm::ShowLoadedSkin()
{
    animeMode_ = amPicture;
    animeIndex_ = 0;
    ShowFrame(amPicture, 0, 0);
    UpdateClock(currentTime_);
}

void TMainForm::ReleaseSkin()
{
    skins_.ReleasePictures();
    skins_.ReleaseBalloon();
    characterRegion_.reset();
    balloonRegion_.reset();
    balloonRegionMirrored_.reset();
}

void TMainForm::SetUpClockLabels()
{
    TFont font;
    font.name = skin_.clockFont;
    font.height = skin_.clockSize;
    font.color = skin_.clockColor;
    font.quality = fqAntialiased;
    const int places[][2] = {{skin_.yearOffX, skin_.yearOffY},
                             {skin_.dateOffX, skin_.dateOffY},
                             {skin_.weekOffX, skin_.weekOffY},
                             {skin_.timeOffX, skin_.timeOffY}};
    for (int i = 0; i < pendar::kClockLabelCount; ++i) {
        pendar::TFaceLabel& label = face_.labels[static_cast<size_t>(i)];
        label.font = font;
        label.left = places[i][0];
        label.top = places[i][1];
        label.visible = label.left >= 0 && label.top >= 0;
    }
    FaceChanged(pendar::fpLabels);
}
