#pragma once
// Waves made by sox at test time, a small writer of sound banks, and the sound
// device on OpenAL Soft's null output (it plays in real time without hardware).
//
// Each sox file is made once per build folder (its name carries a hash of the
// command); nothing made by another program is kept in the source tree.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/openal_sound_device.h"
#include "tests/fixture_files.h"

namespace kolbet::soundtest {

using fixtures::Bytes;
using fixtures::ReadFile;
using fixtures::WriteFile;

// The folder the fixtures are made in (created on first use).
std::string FixtureDir();

// Runs `sox -n ARGS OUT.wav SYNTH` (or with INPUT in place of -n when given)
// and returns the file's path. A failing command fails the test.
std::string SoxFile(const std::string& outArgs, const std::string& synth = "",
                    const std::string& input = "-n");
Bytes Sox(const std::string& outArgs, const std::string& synth = "", const std::string& input = "-n");
// A mono 16-bit 22050 Hz sine of the given length, made by sox.
Bytes SoxTone(double seconds);


// The chunks of a RIFF WAVE file after its 12-byte header, and back again:
// for rearranging sox's files.
struct Chunk {
  std::string Id;
  Bytes Body;
};
std::vector<Chunk> SplitChunks(const Bytes& riff);
Bytes JoinChunks(const std::vector<Chunk>& chunks);

// Writes the bytes of a bank file value by value.
struct BankWriter {
  Bytes Out;

  BankWriter& Raw(const Bytes& bytes);
  BankWriter& Byte(std::uint8_t b);
  BankWriter& Le16(std::uint16_t v);
  BankWriter& Le32(std::uint32_t v);
  BankWriter& Short(const std::string& s);  // length byte + bytes
  // A resource header with the given name, "TPF0", class and object name.
  BankWriter& Header(const std::string& resourceName = "KOLBET");
  // Values with their type byte.
  BankWriter& Int8(std::int8_t v);
  BankWriter& Int16(std::int16_t v);
  BankWriter& Int32(std::int32_t v);
  BankWriter& String(const std::string& s);
  BankWriter& LString(const std::string& s);
  BankWriter& Ident(const std::string& s);
  BankWriter& Bool(bool v);
  BankWriter& Binary(const Bytes& bytes);
};

// One item of a bank; a property left empty is not written.
struct BankItem {
  std::optional<std::string> Name;
  std::optional<bool> Looped;
  std::optional<int> MaxPlayingCount;
  std::optional<Bytes> Wave;
};

// A whole bank file with the given items under "List".
Bytes MakeBank(const std::vector<BankItem>& items);
// A bank of `count` items, each a mono tone of `seconds`, with two voices at most.
Bytes ToneBank(int count, double seconds);

// Writes the bytes into the fixture folder under a name of this process and returns the path.
std::string TempFile(const std::string& name, const Bytes& bytes);

// The OpenAL device on the null output; the test fails when it cannot be opened.
std::unique_ptr<OpenAlSoundDevice> OpenNullDevice();

// The length in sample frames of what the buffer plays: the last play
// position the device accepts on a paused voice of it.
std::uint32_t Frames(SoundDevice& device, SoundBuffer buffer);

// Seconds the call takes.
template <class F>
double Seconds(F&& f);

}  // namespace kolbet::soundtest

#include <chrono>

template <class F>
double kolbet::soundtest::Seconds(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
