// The character's voices: a wave file of the skin, played without waiting.
// Which voice plays when is decided where its occasion is (start-up,
// schedules, the mail check, the idle action).
#include "app/MainForm.h"

void TMainForm::PlaySkinWave(const std::string& name)
{
    // A file the skin does not have stays silent and is not reported.
    std::unique_ptr<TStream> stream = skins_.OpenFile(name);
    if (stream)
        zoWave_.Play(stream.get()); // copied before it returns
}
