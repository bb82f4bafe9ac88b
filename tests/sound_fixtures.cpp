#include "tests/sound_fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace kolbet::soundtest {

std::string FixtureDir() {
  std::string dir = KOLBET_SOUND_FIXTURE_DIR;
  std::filesystem::create_directories(dir);
  return dir;
}

std::string SoxFile(const std::string& outArgs, const std::string& synth, const std::string& input) {
  return fixtures::MakeOnce(FixtureDir(), input + "|" + outArgs + "|" + synth, "wav", [&](const std::string& out) {
    return "sox -D " + input + " " + outArgs + " '" + out + "' " + synth;
  });
}

Bytes Sox(const std::string& outArgs, const std::string& synth, const std::string& input) {
  return ReadFile(SoxFile(outArgs, synth, input));
}

Bytes SoxTone(double seconds) {
  return Sox("-r 22050 -b 16 -c 1 -e signed-integer", "synth " + std::to_string(seconds) + " sine 440");
}

std::vector<Chunk> SplitChunks(const Bytes& riff) {
  std::vector<Chunk> chunks;
  std::size_t pos = 12;
  while (pos + 8 <= riff.size()) {
    Chunk chunk;
    chunk.Id.assign(riff.begin() + pos, riff.begin() + pos + 4);
    std::uint32_t size = 0;
    std::memcpy(&size, &riff[pos + 4], 4);
    pos += 8;
    size = static_cast<std::uint32_t>(std::min<std::size_t>(size, riff.size() - pos));
    chunk.Body.assign(riff.begin() + pos, riff.begin() + pos + size);
    pos += size + (size & 1);
    chunks.push_back(std::move(chunk));
  }
  return chunks;
}

Bytes JoinChunks(const std::vector<Chunk>& chunks) {
  BankWriter w;
  w.Raw({'R', 'I', 'F', 'F'}).Le32(0).Raw({'W', 'A', 'V', 'E'});
  for (const Chunk& chunk : chunks) {
    w.Raw(Bytes(chunk.Id.begin(), chunk.Id.end())).Le32(static_cast<std::uint32_t>(chunk.Body.size()));
    w.Raw(chunk.Body);
  }
  const auto riffSize = static_cast<std::uint32_t>(w.Out.size() - 8);
  std::memcpy(&w.Out[4], &riffSize, 4);
  return w.Out;
}

BankWriter& BankWriter::Raw(const Bytes& bytes) {
  Out.insert(Out.end(), bytes.begin(), bytes.end());
  return *this;
}
BankWriter& BankWriter::Byte(std::uint8_t b) {
  Out.push_back(b);
  return *this;
}
BankWriter& BankWriter::Le16(std::uint16_t v) { return Byte(v & 0xFF).Byte(v >> 8); }
BankWriter& BankWriter::Le32(std::uint32_t v) { return Le16(v & 0xFFFF).Le16(v >> 16); }
BankWriter& BankWriter::Short(const std::string& s) {
  Byte(static_cast<std::uint8_t>(s.size()));
  return Raw(Bytes(s.begin(), s.end()));
}
BankWriter& BankWriter::Header(const std::string& resourceName) {
  Byte(0xFF).Le16(10);
  Raw(Bytes(resourceName.begin(), resourceName.end())).Byte(0);
  Le16(0x1030).Le32(0);
  Raw({'T', 'P', 'F', '0'});
  return Short("TWaveCollectionComponent").Short("");
}
BankWriter& BankWriter::Int8(std::int8_t v) { return Byte(2).Byte(static_cast<std::uint8_t>(v)); }
BankWriter& BankWriter::Int16(std::int16_t v) { return Byte(3).Le16(static_cast<std::uint16_t>(v)); }
BankWriter& BankWriter::Int32(std::int32_t v) { return Byte(4).Le32(static_cast<std::uint32_t>(v)); }
BankWriter& BankWriter::String(const std::string& s) { return Byte(6).Short(s); }
BankWriter& BankWriter::LString(const std::string& s) {
  Byte(12).Le32(static_cast<std::uint32_t>(s.size()));
  return Raw(Bytes(s.begin(), s.end()));
}
BankWriter& BankWriter::Ident(const std::string& s) { return Byte(7).Short(s); }
BankWriter& BankWriter::Bool(bool v) { return Byte(v ? 9 : 8); }
BankWriter& BankWriter::Binary(const Bytes& bytes) {
  Byte(10).Le32(static_cast<std::uint32_t>(bytes.size()));
  return Raw(bytes);
}

Bytes MakeBank(const std::vector<BankItem>& items) {
  BankWriter w;
  w.Header().Short("List").Byte(14);
  for (const BankItem& item : items) {
    w.Byte(1);
    if (item.Name) w.Short("Name").String(*item.Name);
    if (item.Looped) w.Short("Looped").Bool(*item.Looped);
    if (item.MaxPlayingCount) w.Short("MaxPlayingCount").Int32(*item.MaxPlayingCount);
    if (item.Wave) w.Short("Wave.WAVE").Binary(*item.Wave);
    w.Byte(0);
  }
  w.Byte(0);     // end of the collection
  w.Byte(0);     // end of the root's properties
  w.Byte(0);     // no child components
  return w.Out;
}

Bytes ToneBank(int count, double seconds) {
  const Bytes tone = SoxTone(seconds);
  std::vector<BankItem> items(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    items[static_cast<std::size_t>(i)].Name = "Item" + std::to_string(i);
    items[static_cast<std::size_t>(i)].MaxPlayingCount = 2;
    items[static_cast<std::size_t>(i)].Wave = tone;
  }
  return MakeBank(items);
}

std::string TempFile(const std::string& name, const Bytes& bytes) {
  const std::string dir = FixtureDir() + "/tmp-" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  std::string path = dir + "/" + name;
  WriteFile(path, bytes);
  return path;
}

std::unique_ptr<OpenAlSoundDevice> OpenNullDevice() {
  // OpenAL Soft reads its driver list once, when the process first opens a device.
  setenv("ALSOFT_DRIVERS", "null", 1);
  auto device = OpenAlSoundDevice::Open();
  EXPECT_NE(device, nullptr) << "OpenAL Soft's null output could not be opened";
  return device;
}

std::uint32_t Frames(SoundDevice& device, SoundBuffer buffer) {
  const SoundBuffer voice = device.MakeVoice(buffer);
  device.Play(voice, false);
  device.Stop(voice);
  std::uint32_t accepted = 0, refused = 1u << 30;
  while (refused - accepted > 1) {
    const std::uint32_t frame = accepted + (refused - accepted) / 2;
    device.SetPosition(voice, frame);
    (device.Position(voice) == frame ? accepted : refused) = frame;
  }
  device.Release(voice);
  return accepted + 1;
}

}  // namespace kolbet::soundtest
