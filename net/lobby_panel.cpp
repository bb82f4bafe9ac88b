// The lobby panel `Panel2`: the sessions found on the network, the player's
// name, the host address, and the buttons that search, create, join and leave.

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "game/dxdraw.h"
#include "game/main_form.h"
#include "game/phase_machine.h"
#include "game/screen_reader.h"
#include "net/game_messages.h"
#include "net/protocol.h"
#include "net/session_service.h"
#include "platform/error_box.h"
#include "platform/picture_controls.h"

namespace kolbet {

namespace {

constexpr const char* WhateverAddress = "Is wurscht";

// The wait cursor for as long as a search runs, also when it fails.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

const char* const WhiteOnBlue =
    "background: #0000FF; color: white; border: 1px solid #8080FF; selection-background-color: white; selection-color: #0000FF;";

}  // namespace

void TMainForm::BuildLobbyPanel() {
  Panel2 = new TPanel(QSize(339, 177), true, DXDraw);
  Layout.Place(Panel2, QRect(150, 168, 339, 177));

  SessionListBox = new TSessionList(Panel2);
  SessionListBox->setStyleSheet(QString("QListWidget { %1 }").arg(WhiteOnBlue));
  SessionListBox->setCursor(Qt::PointingHandCursor);
  Layout.PlaceText(SessionListBox, QRect(8, 8, 209, 113), "Arial", 8);
  connect(SessionListBox, &QListWidget::itemSelectionChanged, this, [this] { Handle([&] { SessionListBoxClick(); }); });
  // A double click on a session joins it, as "Mitspuelln" does; the first
  // click of it has chosen the session.
  connect(SessionListBox, &QListWidget::itemDoubleClicked, this, [this] { Handle([&] { Button9Click(); }); });

  auto label = [this](const char* text, const char* hint, QRect at) {
    auto* l = new QLabel(QString::fromUtf8(text), Panel2);
    l->setStyleSheet("color: white; background: transparent;");
    l->setToolTip(QString::fromUtf8(hint));
    Layout.PlaceText(l, at, "Arial", 8);
    return l;
  };
  label("dei Nomer:", "Dei Nomer", QRect(8, 132, 62, 16));
  label("Wirdschoft:", "Wirtschoft", QRect(8, 152, 62, 16));
  Label7 = label(WhateverAddress, WhateverAddress, QRect(72, 152, 160, 16));

  Nomer = new QLineEdit(Panel2);
  Nomer->setMaxLength(30);
  Nomer->setStyleSheet(QString("QLineEdit { %1 }").arg(WhiteOnBlue));
  Layout.PlaceText(Nomer, QRect(72, 128, 145, 22), "Arial", 8);
  connect(Nomer, &QLineEdit::textChanged, this, [this] { Handle([&] { NomerChange(); }); });

  const auto button = [this](const char* caption, QRect at, void (TMainForm::*click)()) {
    return PlaceButton(Panel2, caption, "", at, click);
  };
  Button8 = button("Nei's Spuell", QRect(232, 8, 95, 32), &TMainForm::Button8Click);
  Button9 = button("Mitspuelln", QRect(232, 40, 95, 32), &TMainForm::Button9Click);
  Button9->setEnabled(false);
  Button11 = button("Optiona", QRect(232, 72, 95, 32), &TMainForm::Button11Click);
  Button7 = button("Nouchschaua", QRect(232, 104, 95, 32), &TMainForm::Button7Click);
  Button10 = button("Zruck", QRect(248, 136, 65, 32), &TMainForm::Button10Click);
  Panel2->hide();
}

void TMainForm::Button3Click() {
  // A search that fails ends here, with the lobby closed.
  Button7Click();
  Game.Table.NeedsRedraw = true;
  Panel2->show();
  Panel3->hide();
  Panel4->hide();
}

void TMainForm::Button7Click() {
  SessionListBox->clear();
  SessionListBox->SetEmptyText({});
  const std::string host = Game.Table.HostAddress.empty() ? " " : Game.Table.HostAddress;
  DXPlay1->SelectTransport(Game.Table.UseIPX ? IpxProvider : TcpIpProvider, host);
  std::vector<std::string> found;
  {
    const WaitCursor waiting;
    found = DXPlay1->SearchSessions();
    for (const std::string& name : found) SessionListBox->addItem(QString::fromStdString(name));
  }
  SessionListBox->SetEmptyText(found.empty() ? "Koa Spuell gfundn" : "");
  Reader->SearchDone(found);
  Button9->setEnabled(!SessionListBox->selectedItems().isEmpty());
  Button8->setEnabled(true);
}

void TMainForm::Button8Click() {
  Game.Table.NeedsRedraw = true;
  const QString name = Nomer->text();
  bool acceptable = !name.isEmpty();
  for (int i = 0; i < SessionListBox->count(); ++i)
    if (SessionListBox->item(i)->text() == name) acceptable = false;
  if (!acceptable) {
    ShowMessage(this, "Dein Nomer gits schuo. Gih an ondern ei.");
    return;
  }
  DXPlay1->CreateSession(name.toStdString(), name.toStdString());
  SessionOpened();
}

// Created or joined: the waiting screen with the game bar, and the chat menu.
void TMainForm::SessionOpened() {
  Game.IsHost = DXPlay1->IsHost();
  Game.Table.NetworkGame = true;
  Game.Table.NeedsRedraw = true;
  Panel2->hide();
  Panel4->show();
  Game.Table.Phase = PhaseWaitPeer;
  AttachChatMenu(true);
}

void TMainForm::Button9Click() {
  const QList<QListWidgetItem*> chosen = SessionListBox->selectedItems();
  if (chosen.isEmpty()) {
    ShowMessage(this, "Du muast erscht song, woust mitspuelln wühst");
    return;
  }
  Game.Table.NetworkGame = true;
  DXPlay1->JoinSession(chosen.front()->text().toStdString(), Nomer->text().toStdString());
  SessionOpened();
}

void TMainForm::Button10Click() {
  Panel2->hide();
  Panel3->show();
  Panel4->hide();
}

void TMainForm::Button11Click() {
  std::optional<QString> typed;
  if (Seams.AskAddress) {
    typed = Seams.AskAddress();
  } else {
    bool ok = false;
    const QString text = QInputDialog::getText(this, QString::fromUtf8(ApplicationTitle.data(), ApplicationTitle.size()),
                                               "Gih d`Adress ei", QLineEdit::Normal, QString(), &ok);
    if (ok) typed = text;
  }
  Game.Table.HostAddress = typed ? typed->toStdString() : std::string();
  Label7->setText(Game.Table.HostAddress.empty() ? QString(WhateverAddress)
                                                 : QString::fromStdString(Game.Table.HostAddress));
  Button7Click();
  Label7->setToolTip(Label7->text());
}

void TMainForm::SessionListBoxClick() { Button9->setEnabled(!SessionListBox->selectedItems().isEmpty()); }

void TMainForm::NomerChange() { Nomer->setToolTip(Nomer->text()); }

// ---- the session's events ----

void TMainForm::DXPlay1AddPlayer() {
  Game.IsHost = DXPlay1->IsHost();
  kolbet::DXPlay1AddPlayer(Game);
}

void TMainForm::DXPlay1DeletePlayer() {
  Game.IsHost = DXPlay1->IsHost();
  kolbet::DXPlay1DeletePlayer(Game);
}

void TMainForm::DXPlay1Message(const std::uint8_t* data, std::size_t size) {
  Game.IsHost = DXPlay1->IsHost();
  kolbet::DXPlay1Message(Game, data, size);
}

}  // namespace kolbet
