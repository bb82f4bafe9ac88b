#pragma once
// What a press on a level picture of the options panel does to the settings:
// the left button raises a level by one, any other button lowers it.

#include <optional>
#include <string>
#include <string_view>

#include "game/table_state.h"

namespace kolbet {

class TSoundBank;

// Music level: from off (-1) the music item starts again from its beginning;
// the level stays within -1 to 4, and at -1 the music stops. Then the levels
// are applied to the bank. `bank` is null when the game runs silent.
void MusicLevelPressed(TSettings& settings, bool leftButton, TSoundBank* bank);
// Sound level: within -1 to 4. The caller shows the pictures, then applies the levels.
void SoundLevelPressed(TSettings& settings, bool leftButton);
// Computer strength: wraps around, above 4 to 0 and below 0 to 4.
void SkillPressed(TSettings& settings, bool leftButton);
// First-trick rule: every button toggles it.
void RulePressed(TSettings& settings);

// The mug a volume level shows: 0 to 4, or -1 for the crossed-out mug, which
// stands for every other value.
int VolumePicture(int level);
// The mug the skill shows: 0 to 4; for any other value the picture is left as it is.
std::optional<int> SkillPicture(int skill);
// The mug of the rule: full when on, empty when off.
int RulePicture(bool on);

// The four rows of the panel, for a screen reader: the label each shows, and
// its level in words with the end that is louder or better ("3, am lautastn
// is 4"; a volume of -1 is "aus"), said after every change.
enum class TOptionRow { Music, Sound, Skill, Rule };
std::string_view RowLabel(TOptionRow row);
std::string LevelWords(TOptionRow row, const TSettings& settings);

}  // namespace kolbet
