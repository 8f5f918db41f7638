// Steps of the main window that belong to the placement and voices. Until
// those are built, each does the part that needs nothing else and says so.
#include "app/MainForm.h"

void TMainForm::PlaySkinWave(const std::string&) {}
