// Reading Info.ini, the description of a skin: its lines and the meaning of
// each. Values are code page 932 bytes and taken as hostile: a line that
// does not parse is dropped from the point where it stops making sense.
#pragma once

#include "app/SkinInfo.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Info.ini is read whole; a larger file is not a skin description.
constexpr size_t kMaxSkinInfoBytes = 1 << 20;

// The strip layout has 42 cells; from cell 17 there is room for 25 frames.
constexpr int kMaxQuentilFrames = 25;

// Lines end at CR LF, CR or LF.
std::vector<std::string_view> SplitSkinLines(std::string_view text);

// A value longer than 3 bytes with a double quote at both ends loses them;
// then every two-character "\n" becomes a line feed.
std::string UnquoteValue(std::string_view text);

// A decimal integer with an optional sign after optional leading blanks;
// nullopt for anything else or a value outside int.
std::optional<int> ParseSkinInt(std::string_view text);

// "#RRGGBB" as the platform colour 0x02BBGGRR; nullopt unless the value
// begins with '#' and has at least one more byte.
std::optional<uint32_t> ParseSkinColour(std::string_view text);

// Applies one line of Info.ini to the description; a later line overrides
// an earlier one. Comments ("//"), short lines and unknown keys change
// nothing.
void ParseSkinLine(TSkinInfo& skin, std::string_view line);

// What ReadSkinInfo does once every line is read: ONTOP from ALIGN when the
// skin left it unset, negative balloon overlaps to 0, QUENTILFLAG within the
// strip, negative delays to 0, and the four counts.
void FinishSkinInfo(TSkinInfo& skin);
