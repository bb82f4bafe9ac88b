// The byte tables of docs/network.md and docs/game_messages.md against the
// encoders: each row's offset and size, and the bytes the encoder writes
// there, so that a peer written from the pages speaks what the program does.

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "net/protocol.h"
#include "platform/session_wire.h"

using namespace kolbet;
using wire::Bytes;

namespace {

struct Row {
  std::vector<std::string> cells;
};

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Page(const char* name) {
  std::ifstream in(std::string(KOLBET_DOCS_DIR) + "/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The rows of the table below the line that begins with `caption`, without
// its head and its rule.
std::vector<Row> TableAfter(const std::string& page, const std::string& caption) {
  std::istringstream lines(page);
  std::string line;
  while (std::getline(lines, line) && line.rfind(caption, 0) != 0) {
  }
  std::vector<Row> rows;
  bool inTable = false;
  while (std::getline(lines, line)) {
    const bool tableLine = line.rfind('|', 0) == 0;
    if (!tableLine && !inTable) continue;  // the rest of the caption's paragraph
    if (!tableLine) break;
    inTable = true;
    Row row;
    std::istringstream cells(line.substr(1));
    for (std::string cell; std::getline(cells, cell, '|');) row.cells.push_back(Trim(cell));
    rows.push_back(row);
  }
  // A caption that is the table's head itself leaves only the rule to skip.
  const std::size_t skip = caption.rfind('|', 0) == 0 ? 1 : 2;
  EXPECT_GT(rows.size(), skip) << "no table after \"" << caption << '"';
  if (rows.size() < skip) return {};
  return std::vector<Row>(rows.begin() + static_cast<std::ptrdiff_t>(skip), rows.end());
}

Bytes Int(std::int32_t v) {
  const auto bits = static_cast<std::uint32_t>(v);
  return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits >> 16),
          static_cast<std::uint8_t>(bits >> 24)};
}
Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }
Bytes Of(const wire::TIdentity& id) { return Bytes(id.begin(), id.end()); }

// What one row must say: the start of its field text and the bytes there.
struct Field {
  std::string starts;
  Bytes bytes;
};

// The rows of an "offset | size | field" table against the encoded bytes: the
// rows follow one another without a gap, each holds what the encoder wrote
// there, and together they cover every byte. A size that is not a number
// (N, L − 1) is the rest of the bytes.
void ExpectLayout(const std::string& page, const std::string& caption, const Bytes& encoded,
                  const std::vector<Field>& fields) {
  SCOPED_TRACE(caption);
  const std::vector<Row> rows = TableAfter(page, caption);
  ASSERT_EQ(rows.size(), fields.size());
  std::size_t at = 0;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const auto& cells = rows[k].cells;
    ASSERT_GE(cells.size(), 3u);
    SCOPED_TRACE(cells[2]);
    EXPECT_EQ(cells[0], std::to_string(at));
    EXPECT_EQ(cells[2].rfind(fields[k].starts, 0), 0u) << "expected " << fields[k].starts;
    const bool rest = cells[1].find_first_not_of("0123456789") != std::string::npos;
    const std::size_t size = rest ? encoded.size() - at : std::stoul(cells[1]);
    EXPECT_EQ(size, fields[k].bytes.size());
    ASSERT_LE(at + size, encoded.size());
    EXPECT_EQ(Bytes(encoded.begin() + static_cast<std::ptrdiff_t>(at),
                    encoded.begin() + static_cast<std::ptrdiff_t>(at + size)),
              fields[k].bytes);
    at += size;
  }
  EXPECT_EQ(at, encoded.size());
}

const wire::TIdentity Kolbet = *wire::ParseGuid("{929B47E1-00CE-11D4-B635-0000E87F85A1}");
const wire::TIdentity Session = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const Bytes Magic = Text("KOLB");
const Bytes Version = {1, 0};

Bytes Body(const Bytes& frame) { return Bytes(frame.begin() + wire::LengthSize + 1, frame.end()); }

}  // namespace

TEST(WireDocs, GameMessageTablesAreTheEncoders) {
  const std::string page = Page("game_messages.md");
  TTable table;
  table.PlayerSeat = {{100, 101, 102, 103, 104}, 105, 106, 107, 108};
  table.OpponentSeat = {{200, 201, 202, 203, 204}, 205, 206, 207, 208};
  table.AnnouncedCard = 300;
  std::vector<Field> status = {{"kind = 0", Int(KindStatus)}};
  for (const auto& [name, seat] : {std::pair{"PlayerSeat", table.PlayerSeat}, std::pair{"OpponentSeat", table.OpponentSeat}}) {
    const std::string prefix = std::string("sender's `") + name + ".";
    for (int slot = 0; slot < 5; ++slot)
      status.push_back({prefix + "Hand[" + std::to_string(slot) + "]`", Int(seat.Hand[slot])});
    status.push_back({prefix + "TrickCard`", Int(seat.TrickCard)});
    status.push_back({prefix + "ChosenRank`", Int(seat.ChosenRank)});
    status.push_back({prefix + "Tricks`", Int(seat.Tricks)});
    status.push_back({prefix + "Points`", Int(seat.Points)});
  }
  status.push_back({"the announced card", Int(table.AnnouncedCard)});
  const auto s = EncodeStatus(table);
  ExpectLayout(page, "Status message, 80 bytes:", Bytes(s.begin(), s.end()), status);
  const auto c = EncodeCommand(CmdSound, -77);
  ExpectLayout(page, "Command message, 12 bytes:", Bytes(c.begin(), c.end()),
               {{"kind = 1", Int(KindCommand)}, {"code", Int(CmdSound)}, {"argument", Int(-77)}});

  // The codes: every one in order, under its name.
  const std::pair<const char*, std::int32_t> codes[] = {
      {"CmdAnnounceRank", CmdAnnounceRank}, {"CmdHostRank", CmdHostRank}, {"CmdGuestRank", CmdGuestRank},
      {"CmdSuit", CmdSuit},                 {"CmdYourLead", CmdYourLead}, {"CmdHostLead", CmdHostLead},
      {"CmdGuestLead", CmdGuestLead},       {"CmdAnswer", CmdAnswer},     {"CmdWait", CmdWait},
      {"CmdSound", CmdSound}};
  const std::vector<Row> rows = TableAfter(page, "| code | name |");
  ASSERT_EQ(rows.size(), std::size(codes));
  for (std::size_t k = 0; k < rows.size(); ++k) {
    EXPECT_EQ(rows[k].cells.at(0), std::to_string(codes[k].second));
    EXPECT_EQ(rows[k].cells.at(1), std::string("`") + codes[k].first + "`");
  }
}

TEST(WireDocs, SessionTablesAreTheEncoders) {
  const std::string page = Page("network.md");
  ExpectLayout(page, "Search request, 23 bytes:", wire::EncodeSearchRequest(Kolbet),
               {{"magic", Magic}, {"version", Version}, {"type 1", {1}}, {"application identifier", Of(Kolbet)}});
  const std::string name = "Wirtshaus";
  ExpectLayout(page, "Session answer, 43 + N bytes", wire::EncodeSessionAnswer({Kolbet, Session, 1, 2, name}),
               {{"magic", Magic}, {"version", Version}, {"type 2", {2}}, {"application identifier", Of(Kolbet)},
                {"session identity", Of(Session)}, {"players in the session now", {1}}, {"most players", {2}},
                {"N", {9, 0}}, {"session name", Text(name)}});
  const Bytes block = Text("Servus");
  ExpectLayout(page, "Frame, 4 + L bytes:", wire::EncodeFrame(wire::FrameType::Message, block.data(), block.size()),
               {{"L", Int(7)}, {"frame type", {4}}, {"body", block}});
  ExpectLayout(page, "Hello body, 40 + N bytes:", Body(wire::EncodeHello({Kolbet, Session, name})),
               {{"magic", Magic}, {"version", Version}, {"application identifier", Of(Kolbet)},
                {"session identity", Of(Session)}, {"N", {9, 0}}, {"player name", Text(name)}});
  ExpectLayout(page, "Welcome body, 16 + N bytes:", Body(wire::EncodeWelcome({0x01020304, 0x0A0B0C0D, name})),
               {{"magic", Magic}, {"version", Version}, {"host player id", {4, 3, 2, 1}},
                {"joiner's player id", {0x0D, 0x0C, 0x0B, 0x0A}}, {"N", {9, 0}}, {"host player name", Text(name)}});
  ExpectLayout(page, "Refused body, 7 bytes:", Body(wire::EncodeRefused(wire::Refusal::OtherSession)),
               {{"magic", Magic}, {"version", Version}, {"reason", {2}}});
}
