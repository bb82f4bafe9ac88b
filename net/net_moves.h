#pragma once
// The local player's moves in a network game, one per phase 9 to 12: naming
// the rank, naming the suit, leading and answering. Each tells the peer what
// was done; the host also decides what is decided and sends its table.

#include "game/game.h"

namespace kolbet {

// PhaseNetAnnounceRank: the rank of the card in `slot` is named.
void NetNamesRank(TGame& game, int slot);

// PhaseNetAnnounceSuit: the suit of the card in `slot` is named.
void NetNamesSuit(TGame& game, int slot);

// PhaseNetLead: the card in `slot` is led.
void NetLeads(TGame& game, int slot);

// Whether the card in `slot` may answer in PhaseNetFollow: the first-trick
// rule binds both players of a network game, whatever their options say.
bool NetAnswerAllowed(const TGame& game, int slot);

// PhaseNetFollow: the card in `slot` answers (NetAnswerAllowed holds); the
// host decides the trick.
void NetAnswers(TGame& game, int slot);

// On the host, both cards lie on the table: the trick goes to the guest when
// `guestTakes`, else to the host; the guest is told when it leads next, and the
// table is sent last.
void HostDecidesTrick(TGame& game, bool guestTakes);

}  // namespace kolbet
