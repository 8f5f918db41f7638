// Steps of the main window that belong to the skins, clock face, placement
// and voices. Until those are built, each does the part that
// needs nothing else and says so.
#include "app/MainForm.h"

#include "base/Sjis.h"

// Opening a skin needs the pack reader and the picture decoders: without
// them no skin can be opened, and the plain skin is used.
bool TMainForm::OpenSkin(const std::string&)
{
    return false;
}

// The plain built-in skin's description; its picture comes with the clock face.
bool TMainForm::LoadPlainSkin()
{
    skin_.SetDefaults();
    skin_.name = Sjis("無地");
    skin_.align = alFree;
    ApplyTaskbarMode();
    skin_.onTop = 0;
    skin_.pictureCount = 1;
    skin_.yearOffX = 24;
    skin_.yearOffY = 12;
    skin_.dateOffX = 24;
    skin_.dateOffY = 48;
    skin_.weekOffX = 24;
    skin_.weekOffY = 84;
    skin_.timeOffX = 24;
    skin_.timeOffY = 116;
    skin_.mesOffsetLX = 16;
    skin_.mesOffsetRX = 16;
    skin_.mesOffsetY = 0;
    return true;
}

void TMainForm::UpdateClock(const TSchTime&) {}

void TMainForm::PlaySkinWave(const std::string&) {}

void TMainForm::PlaceWindow(bool) {}
