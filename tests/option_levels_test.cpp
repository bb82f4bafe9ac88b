// Presses on the level pictures of the options panel, at both ends of each
// range: the levels reach off and the strongest skill, and the music is
// silent exactly when its level is off.

#include <gtest/gtest.h>

#include "assets/option_levels.h"
#include "assets/sound_bank.h"
#include "rules/sound_items.h"
#include "tests/sound_fixtures.h"

namespace kolbet {
namespace {

TEST(OptionLevels, PressesStopAtTheEndsAndTheMusicIsSilentOnlyWhenOff) {
  std::vector<soundtest::BankItem> items(ItemMusic + 1, {"Item", false, {}, soundtest::SoxTone(0.05)});
  items[ItemMusic].Looped = true;
  TSoundBank bank(soundtest::OpenNullDevice());
  bank.LoadSoundBank(soundtest::TempFile("levels.snd", soundtest::MakeBank(items)));
  auto musicPlaying = [&] { return bank.SoundService()->IsPlaying(bank.Item(ItemMusic).MainBuffer); };

  struct Case {
    int TSettings::*Level;
    int From;
    bool Left;
    int To;
  };
  constexpr auto Music = &TSettings::MusicVolume, Sound = &TSettings::SoundVolume, Skill = &TSettings::Skill;
  const Case cases[] = {
      {Music, -1, true, 0},  {Music, 0, false, -1}, {Music, -1, false, -1}, {Music, 3, true, 4},
      {Music, 4, true, 4},   {Sound, 0, false, -1}, {Sound, -1, false, -1}, {Sound, 4, true, 4},
      {Skill, 3, true, 4},   {Skill, 4, true, 0},   {Skill, 0, false, 4},   {Skill, 1, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.Level == Music ? "music " : c.Level == Sound ? "sound " : "skill ")
                                    << c.From << (c.Left ? " left" : " right"));
    TSettings settings;
    settings.*c.Level = c.From;
    if (c.Level == Music) {
      if (c.From == -1) bank.StopSound(ItemMusic);
      else bank.PlaySound(ItemMusic, false);
      MusicLevelPressed(settings, c.Left, &bank);
      EXPECT_EQ(musicPlaying(), c.To != -1);
      if (c.To != -1) {
        EXPECT_EQ(bank.Item(ItemMusic).Volume, LevelVolume(c.To));
      }
    } else if (c.Level == Sound) {
      SoundLevelPressed(settings, c.Left);
    } else {
      SkillPressed(settings, c.Left);
    }
    EXPECT_EQ(settings.*c.Level, c.To);
  }
}

TEST(OptionWords, EachRowTellsItsOwnLevelWithTheLouderOrBetterEnd) {
  TSettings s;
  s.MusicVolume = 0;
  s.SoundVolume = -1;
  s.Skill = 3;
  s.TrumpfoderNarrisch = true;
  const std::pair<TOptionRow, const char*> rows[] = {
      {TOptionRow::Music, "0, am lautastn is 4"},  // 0 is the quietest level, not off
      {TOptionRow::Sound, "aus, am lautastn is 4"},
      {TOptionRow::Skill, "3, am bestn is 4"},
      {TOptionRow::Rule, "ja"},
  };
  for (const auto& [row, words] : rows) EXPECT_EQ(LevelWords(row, s), words) << RowLabel(row);
}

}  // namespace
}  // namespace kolbet
