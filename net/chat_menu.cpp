// The chat menu `PopupMenu1`: in a network game a right-button press on the
// table opens it; a phrase chosen from it sounds here and on the other machine.

#include <QAction>
#include <QMenu>

#include "game/dxdraw.h"
#include "game/main_form.h"
#include "game/pacing.h"
#include "net/chat_phrases.h"
#include "net/protocol.h"

namespace kolbet {

void TMainForm::BuildChatMenu() {
  PopupMenu1 = new QMenu(this);
  QMenu* fliach = PopupMenu1->addMenu("Fliach");
  fliach->setObjectName("Fliach");
  for (const TChatPhrase& phrase : ChatPhrases) {
    QMenu* into = phrase.InFliach ? fliach : PopupMenu1;
    if (phrase.SeparatorBefore) into->addSeparator()->setObjectName(phrase.Component == "a58" ? "N2" : "N1");
    QAction* item = into->addAction(QString::fromUtf8(phrase.Caption.data(), static_cast<int>(phrase.Caption.size())));
    item->setObjectName(QString::fromUtf8(phrase.Component.data(), static_cast<int>(phrase.Component.size())));
    connect(item, &QAction::triggered, this, [this, item] { Handle([this, item] { PopupMenu1Popup(item); }); });
  }
  // A right-button press on the table opens the menu at the pointer while it
  // is attached; the press itself has played a card already, if it hit one.
  DXDraw->ContextMenu = [this](QPoint global) {
    if (ChatMenuAttached) PopupMenu1->popup(global);
  };
}

void TMainForm::AttachChatMenu(bool attached) { ChatMenuAttached = attached; }

void TMainForm::PopupMenu1Popup(QAction* item) {
  const int n = PhraseItem(item->objectName().toStdString());
  if (n < 0) return;
  PlaySound(Game, n, false);
  SendKolbetCommand(Game, CmdSound, n);
}

}  // namespace kolbet
