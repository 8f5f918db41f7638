// Test helper: rewrites a settings file as fast as it can until killed.
#include "app/Settings.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    TAppSettings s;
    std::printf("ready\n");
    std::fflush(stdout);
    for (int round = 0;; ++round) {
        s.offsetX = round % 20000;
        s.skinName = "Skin" + std::to_string(round);
        s.schedules[static_cast<size_t>(round % kScheduleCount)].name = "n";
        s.schedules[static_cast<size_t>(round % kScheduleCount)].time.minute = static_cast<int8_t>(round % 60);
        std::string error;
        if (!SaveSettingsFile(argv[1], s, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
}
