#include "tools/mkdata/voice.h"

#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace kolbet::mkdata {
namespace {

constexpr int Parallel = 4;
constexpr int Silence = 300;           // samples quieter than this count as silence
constexpr int Lead = SpeechRate / 50;  // 20 ms kept before the voice
constexpr int Tail = SpeechRate / 25;  // 40 ms kept after it
constexpr int Fade = SpeechRate / 200; // 5 ms fades at both ends
constexpr double Peak = 26000;         // about 2 dB below full scale

std::unique_ptr<QProcess> Start(const std::string& text) {
  auto process = std::make_unique<QProcess>();
  // -m: markup; -b 1: UTF-8 text; -s: words a minute, a little slower than usual.
  process->start("espeak-ng", {"-v", "de", "-s", "150", "-m", "-b", "1", "--stdout",
                               QString::fromStdString(text)});
  return process;
}

Pcm16 Finish(QProcess& process, const std::string& text) {
  if (!process.waitForStarted(10000))
    throw std::runtime_error("espeak-ng cannot be started (Debian package espeak-ng): " +
                             process.errorString().toStdString());
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
    throw std::runtime_error("espeak-ng failed on \"" + text +
                             "\": " + process.readAllStandardError().trimmed().toStdString());
  const QByteArray out = process.readAllStandardOutput();
  const Bytes wave(out.begin(), out.end());
  Pcm16 pcm;
  try {
    pcm = ReadPcm16Wave(wave);
  } catch (const std::exception& e) {
    throw std::runtime_error("espeak-ng gave no usable wave for \"" + text + "\": " + e.what());
  }
  if (pcm.channels != 1 || pcm.rate != SpeechRate)
    throw std::runtime_error("espeak-ng spoke \"" + text + "\" in an unexpected format (" +
                             std::to_string(pcm.channels) + " channels, " + std::to_string(pcm.rate) + " Hz)");
  return pcm;
}

}  // namespace

std::vector<Pcm16> Speak(const std::vector<std::string>& texts) {
  std::vector<Pcm16> result(texts.size());
  std::vector<std::unique_ptr<QProcess>> running(texts.size());
  std::size_t next = 0;
  try {
    for (std::size_t done = 0; done < texts.size(); ++done) {
      while (next < texts.size() && next < done + Parallel) {
        running[next] = Start(texts[next]);
        ++next;
      }
      const Pcm16 raw = Finish(*running[done], texts[done]);
      running[done].reset();
      result[done] = CleanSpeech(raw);
      if (result[done].samples.empty())
        throw std::runtime_error("espeak-ng said nothing for \"" + texts[done] + "\"");
    }
  } catch (...) {
    // Stop the synthesisers still running before giving up.
    for (auto& process : running)
      if (process) {
        process->kill();
        process->waitForFinished(1000);
      }
    throw;
  }
  return result;
}

Pcm16 CleanSpeech(const Pcm16& raw) {
  Pcm16 out;
  out.channels = 1;
  out.rate = raw.rate;
  const auto& s = raw.samples;
  auto loud = [](std::int16_t v) { return std::abs(static_cast<int>(v)) > Silence; };
  const auto first = std::find_if(s.begin(), s.end(), loud);
  if (first == s.end()) return out;
  const auto last = std::find_if(s.rbegin(), s.rend(), loud).base();
  const std::ptrdiff_t from = std::max<std::ptrdiff_t>(0, (first - s.begin()) - Lead);
  const std::ptrdiff_t to = std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(s.size()), (last - s.begin()) + Tail);
  int peak = 1;
  for (auto i = from; i < to; ++i) peak = std::max(peak, std::abs(static_cast<int>(s[i])));
  const double gain = Peak / peak;
  const std::ptrdiff_t n = to - from;
  out.samples.resize(static_cast<std::size_t>(n));
  for (std::ptrdiff_t i = 0; i < n; ++i) {
    double v = s[from + i] * gain;
    if (i < Fade) v *= double(i) / Fade;
    if (n - 1 - i < Fade) v *= double(n - 1 - i) / Fade;
    out.samples[i] = static_cast<std::int16_t>(std::lround(std::clamp(v, -32767.0, 32767.0)));
  }
  return out;
}

}  // namespace kolbet::mkdata
