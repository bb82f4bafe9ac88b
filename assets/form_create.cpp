// The main window's creation handler `FormCreate`: the command line, the
// defaults, the table cursor, the random seed, the sound bank, the player's
// name, the music list, the file type, the stored settings and the table
// state, in this order.

#include <QBuffer>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>

#include "assets/default_names.h"
#include "assets/mug_art.h"
#include "assets/settings.h"
#include "game/dxdraw.h"
#include "game/main_form.h"
#include "platform/error_box.h"
#include "platform/mime_registration.h"

namespace kolbet {

namespace {

constexpr const char* SoundBankFile = "Kolbet.snd";

QByteArray IconPng() {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  MugIcon(32).save(&buffer, "PNG");
  return png;
}

}  // namespace

void TMainForm::FormCreate(const QStringList& arguments) {
  TTable& t = Game.Table;
  // The switch matches in any letter case, at any place after the program's own path.
  t.UseIPX = false;
  for (qsizetype i = 1; i < arguments.size(); ++i)
    if (QLocale::system().toUpper(arguments[i]) == "-USEIPX") t.UseIPX = true;

  Game.Settings.MusicVolume = 2;
  Game.Settings.SoundVolume = 2;
  Game.Settings.Skill = 2;

  TableCursor = QCursor(QPixmap::fromImage(TableCursorPicture(1)), 0, 0);
  DXDraw->setCursor(TableCursor);

  SeedRandom(Game.Random, Game.Clock->MillisecondsOfDayUtc());

  // A bank that cannot be read is reported; the game then runs silent, and the
  // rest of start-up is still done so that the settings and the music list are
  // there.
  SoundBankLoaded = RunHandler(this, [&] { Saunds->LoadSoundBank(SoundBankFile); });
  Game.Sound = Seams.Sound ? Seams.Sound : LiveBank();

  Nomer->setText(QString::fromUtf8(DefaultNames[static_cast<std::size_t>(RandomInt(Game.Random, 8))].data()));
  t.HostAddress.clear();

  GetKBMFiles(DmusiList);
  Dmusi->clear();
  for (const std::string& entry : DmusiList.Entries) Dmusi->addItem(QString::fromStdString(entry));

  // The desktop's file type is a courtesy: when it cannot be written the
  // player is told, and the settings are still read.
  RunHandler(this, [&] { RegisterKbmFileType(IconPng()); });

  // A stored value of the wrong type is reported once everything else is
  // read and applied: the panel then shows the settings as stored.
  RunHandler(this, [&] { LoadOptions(Game.Settings, DmusiList, LiveBank(), {}, &OptionsLoaded); });
  Dmusi->setCurrentIndex(DmusiList.Selected);
  ShowStats();
  if (TSoundBank* bank = LiveBank()) bank->SetStats(Game.Settings);

  t.NeedsRedraw = true;
  t.NetworkGame = false;
  t.PlayerAnnouncesRank = false;
  t.Phase = PhaseTitle;
  t.OpponentSeat.Points = 0;
  t.PlayerSeat.Points = 0;
  t.HoverSlot = -1;
}

}  // namespace kolbet
