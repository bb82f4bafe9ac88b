#include "game/screen_reader.h"

#include "game/dxdraw.h"
#include "game/main_form.h"
#include "game/table_access.h"
#include "game/table_text.h"
#include "platform/picture_controls.h"

namespace kolbet {

TScreenReader::TScreenReader(TMainForm& form) : Form(form) {}

void TScreenReader::Tell(const std::string& words) { Form.DXDraw->Notes().Tell(QString::fromStdString(words)); }

bool TScreenReader::VoiceHeard() const {
  return Form.Game.Settings.SoundVolume >= 0 && Form.SoundBankLoaded && Form.Saunds && Form.Saunds->Running();
}

void TScreenReader::TableSeen(int shownSlot) {
  UpdateAccessibleTexts(Form, shownSlot);
  const TTableSight now{Form.Game.Table, std::string(Form.SpokenLineShown())};
  std::string words;
  for (const std::string& news : TableNews(Seen, now)) words += (words.empty() ? "" : ". ") + news;
  Tell(words);
  Seen = now;
}

void TScreenReader::CardSelected(int shownSlot) {
  // The game's own voice says the card's name; the screen reader then keeps still.
  if (!VoiceHeard()) Tell(CardInHand(Form.Game.Table, shownSlot));
}

void TScreenReader::CardRefused() { Tell(RefusedCardWords); }

void TScreenReader::LevelPressed(TOptionRow row) { Tell(LevelWords(row, Form.Game.Settings)); }

void TScreenReader::SearchDone(const std::vector<std::string>& names) {
  Form.SessionListBox->setAccessibleName(QString::fromUtf8(names.empty() ? "Stommdisch: koa Spuell gfundn" : "Stommdisch"));
  Tell(SearchWords(names));
}

}  // namespace kolbet
