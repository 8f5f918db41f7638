// The desktop's event sounds, played by name. The Windows names the player
// has always used map to the sound theme's events; a name that is a file
// plays that file; anything else rings the bell. Silent (false) where the
// desktop has no sound theme or no sound server.
#pragma once

#include <string>

namespace audio {

class ISystemSounds {
public:
    virtual ~ISystemSounds() = default;
    // Plays `name`; with `wait`, returns when it is over.
    virtual bool Play(const std::string& name, bool wait) = 0;
    virtual void Stop() = 0;
};

// The sound theme's event for a system-sound name ("SystemHand" gives
// "dialog-error"); "bell" for names it does not know.
const char* SystemSoundEvent(const std::string& name);

// The process's system sounds: the one installed, else libcanberra's.
ISystemSounds& SystemSounds();
void SetSystemSounds(ISystemSounds* sounds);

} // namespace audio
