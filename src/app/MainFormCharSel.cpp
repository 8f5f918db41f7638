// The menu command MISysSelect: the character selection and the switch to
// another skin.
#include "app/BusyScope.h"
#include "app/MainForm.h"
#include "app/SkinList.h"

void TMainForm::SysSelectClick()
{
    if (!dialogs_)
        return;
    const std::vector<std::string> names = pendar::ListSkins(svc_.skinFolders);
    pendar::TBusyScope modal(modal_);
    dialogs_->ShowCharSelect(names, [this](const std::string& name) { ChangeSkin(name); });
}

void TMainForm::Greet()
{
    svc_.messages.FlushMessage();
    svc_.messages.AddMessage(skin_.startMes);
    svc_.messages.CommitMessage(true);
    if (settings_.waveFlag && !skin_.startWav.empty())
        PlaySkinWave(skin_.startWav);
}

void TMainForm::ChangeSkin(const std::string& name)
{
    settings_.skinName = name;
    if (OpenSkin(name)) {
        Greet();
        SaveSettings();
    } else if (!LoadPlainSkin()) {
        // Its message has been shown; without even the plain skin the
        // window cannot go on. The name is saved when the application ends.
        svc_.view.RequestClose();
        return;
    }
    svc_.view.SetHints(skin_.name);
    PlaceWindow(true);
}
