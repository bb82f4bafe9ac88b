// The options panel `Panel1` of the main window: the four level pictures with
// their labels, the music list and the button that closes the panel and saves.

#include <QAbstractItemView>
#include <QComboBox>

#include "assets/mug_art.h"
#include "assets/option_levels.h"
#include "assets/settings.h"
#include "game/dxdraw.h"
#include "game/main_form.h"
#include "game/screen_reader.h"
#include "platform/picture_controls.h"

namespace kolbet {

namespace {

constexpr QSize LevelSize(24, 32);

TPictureBox::Source Mug(int level) {
  return [level](double scale) { return MugPicture(level, scale); };
}

}  // namespace

void TMainForm::BuildOptionsPanel() {
  Panel1 = new TPanel(QSize(287, 209), true, DXDraw);
  Layout.Place(Panel1, QRect(170, 152, 287, 209));

  struct TRow {
    TOptionRow Row;
    int LabelWidth;
    const char* Hint;
    const char* ForScreenReader;  // the hint with the keys beside the mouse buttons
    TPictureBox** Level;
    void (TMainForm::*Press)(Qt::MouseButton);
  };
  const TRow rows[] = {
      {TOptionRow::Music, 120, "Links klicka lauda - rechts klicka leisa",
       "Links klicka oder Pfeil rechts: lauda - rechts klicka oder Pfeil links: leisa", &Image2,
       &TMainForm::Image2MouseDown},
      {TOptionRow::Sound, 181, "Links klicka lauda - rechts klicka leisa",
       "Links klicka oder Pfeil rechts: lauda - rechts klicka oder Pfeil links: leisa", &Image3,
       &TMainForm::Image3MouseDown},
      {TOptionRow::Skill, 182, "Links klicka besser - rechts klicka schlechter",
       "Links klicka oder Pfeil rechts: besser - rechts klicka oder Pfeil links: schlechter", &Image4,
       &TMainForm::Image4MouseDown},
      {TOptionRow::Rule, 157, "Voll: ja - Leer: Nein", "Voll: ja - Leer: Nein. Klicka, Return oder a Pfeil: umschoitn",
       &Image7, &TMainForm::Image7MouseDown},
  };
  int y = 8;
  for (const TRow& row : rows) {
    const std::string_view text = RowLabel(row.Row);
    auto* label = new TLetteredPicture(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                                       QSize(row.LabelWidth, 32), Panel1);
    Layout.Place(label, QRect(24, y, row.LabelWidth, 32));
    auto* level = new TPictureBox(LevelSize, Panel1);
    Layout.Place(level, QRect(232, y, LevelSize.width(), LevelSize.height()));
    level->setToolTip(QString::fromUtf8(row.Hint));
    level->setAccessibleDescription(QString::fromUtf8(row.ForScreenReader));
    const auto press = row.Press;
    level->OnPress([this, press](Qt::MouseButton button) { Handle([this, press, button] { (this->*press)(button); }); });
    *row.Level = level;
    y += 32;
  }

  Dmusi = new QComboBox(Panel1);
  Dmusi->setEditable(false);
  Dmusi->setCursor(Qt::PointingHandCursor);
  Dmusi->setStyleSheet(
      "QComboBox { background: #0000FF; color: white; border: 1px solid #8080FF; padding-left: 3px; }"
      "QComboBox QAbstractItemView { background: #0000FF; color: white; selection-background-color: #000080; }");
  Dmusi->view()->setCursor(Qt::PointingHandCursor);
  Layout.PlaceText(Dmusi, QRect(24, 144, 233, 22), "Arial", 8);
  connect(Dmusi, &QComboBox::activated, this, [this](int index) { Handle([this, index] { DmusiChange(index); }); });

  Button6 = PlaceButton(Panel1, "Zruck", "", QRect(112, 176, 65, 25), &TMainForm::Button6Click);
  Panel1->hide();
}

void TMainForm::Button5Click() {
  Panel1->show();
  Panel3->hide();
}

void TMainForm::Button6Click() {
  Panel1->hide();
  Panel3->show();
  SaveOptions(Game.Settings, DmusiList, OptionsLoaded);
}

void TMainForm::Image2MouseDown(Qt::MouseButton button) {
  MusicLevelPressed(Game.Settings, button == Qt::LeftButton, LiveBank());
  ShowStats();
  Reader->LevelPressed(TOptionRow::Music);
}

void TMainForm::Image3MouseDown(Qt::MouseButton button) {
  SoundLevelPressed(Game.Settings, button == Qt::LeftButton);
  ShowStats();
  if (TSoundBank* bank = LiveBank()) bank->SetStats(Game.Settings);
  Reader->LevelPressed(TOptionRow::Sound);
}

void TMainForm::Image4MouseDown(Qt::MouseButton button) {
  SkillPressed(Game.Settings, button == Qt::LeftButton);
  ShowStats();
  Reader->LevelPressed(TOptionRow::Skill);
}

void TMainForm::Image7MouseDown(Qt::MouseButton) {
  RulePressed(Game.Settings);
  ShowStats();
  Reader->LevelPressed(TOptionRow::Rule);
}

void TMainForm::DmusiChange(int index) {
  DmusiList.Selected = index;
  if (TSoundBank* bank = LiveBank()) kolbet::DmusiChange(*bank, DmusiList, Game.Settings);
}

void TMainForm::ShowStats() {
  const TSettings& s = Game.Settings;
  Image2->SetPicture(Mug(VolumePicture(s.MusicVolume)));
  Image3->SetPicture(Mug(VolumePicture(s.SoundVolume)));
  if (const auto skill = SkillPicture(s.Skill)) Image4->SetPicture(Mug(*skill));
  Image7->SetPicture(Mug(RulePicture(s.TrumpfoderNarrisch)));
}

}  // namespace kolbet
