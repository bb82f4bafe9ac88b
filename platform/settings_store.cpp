#include "platform/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <chrono>
#include <limits>

namespace kolbet {

DataError InvalidDataType(const std::string& name) {
  return DataError("Ungültiger Datentyp für '" + name + "'");
}

DataError CannotSetData(const std::string& name) {
  return DataError("Konnte Daten für '" + name + "' nicht setzen");
}

std::string SettingsFilePath() {
  return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/DRN/Kolbet.conf")
      .toStdString();
}

namespace {

// The game's own file is a few hundred bytes; a far larger one is not read
// into memory at all but taken as damaged.
constexpr qint64 MaxSettingsFileSize = 1 << 20;

bool TooLarge(const QString& path) { return QFileInfo(path).size() > MaxSettingsFileSize; }

// Whether a value of the text would be decoded by QSettings as a binary
// stream: "@Variant(...)" and "@DateTime(...)" are read with QDataStream, whose
// length fields can ask for gigabytes and whose types reach far beyond the
// integers and strings of the game, which never writes such a value. The test
// is on the raw text and errs on the safe side: it looks at every place where
// a value or an item of a list may begin (after '=' or ',', blanks, quotes,
// backslashes and line breaks), and takes an escape there such as "\x40" or
// "\100" (which QSettings turns into '@') as such a value too. Plain text and
// "@@" (a string that begins with '@') are left alone, as is "@ByteArray(...)",
// which is read as plain bytes.
bool HoldsStreamedValue(const QByteArray& text) {
  const auto skipped = [](char c) {
    return c == ' ' || c == '\t' || c == '"' || c == '\r' || c == '\n' || c == '\\';
  };
  const auto isEscape = [](char c) { return c == 'x' || c == 'X' || (c >= '0' && c <= '7'); };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool escape = c == '\\' && i + 1 < text.size() && isEscape(text[i + 1]);
    if (c != '@' && !escape) continue;
    qsizetype before = i - 1;
    while (before >= 0 && skipped(text[before])) --before;
    if (before >= 0 && text[before] != '=' && text[before] != ',') continue;
    if (escape) return true;
    const QByteArrayView rest = QByteArrayView(text).sliced(i + 1);
    if (rest.startsWith("Variant(") || rest.startsWith("DateTime(") || rest.startsWith('\\')) return true;
  }
  return false;
}

// Whether QSettings finds the text malformed. It is parsed from a copy,
// since QSettings keeps the files it has read and does not report a damaged
// file again when it has not changed since.
bool IsDamaged(const QByteArray& text) {
  if (HoldsStreamedValue(text)) return true;
  const QTemporaryDir dir;
  const QString copy = dir.path() + "/probe.conf";
  QFile file(copy);
  // A copy cut short (a full disk) would read as damaged: nothing is judged then.
  if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.flush())
    return false;
  file.close();
  if (QFileInfo(copy).size() != text.size()) return false;
  // QSettings reads its file only when first asked for a value, and only then
  // knows whether it is damaged.
  const QSettings probe(copy, QSettings::IniFormat);
  probe.childKeys();
  return probe.status() == QSettings::FormatError;
}

// QSettings guards its file with Kolbet.conf.lock, which holds the owner's
// process id. A lock whose owner has gone is taken over at once, but one left
// empty by a save killed in the instant between creating and filling it
// counts as stale only after 30 seconds, and the next save would wait that
// long. An owner that is alive fills its lock within microseconds, so a lock
// still empty after a second is left over: it is cleared here, waiting at
// most a little over a second, before QSettings takes the lock itself.
void ClearLeftOverLock(const QString& path) {
  QLockFile lock(path + ".lock");
  lock.setStaleLockTime(std::chrono::milliseconds(1000));
  if (lock.tryLock(std::chrono::milliseconds(1500))) lock.unlock();
}

}  // namespace

TSettingsStore::TSettingsStore(std::string path) : FilePath(std::move(path)) {}

bool TSettingsStore::Open() {
  Values.clear();
  const QString path = QString::fromStdString(FilePath);
  // The file is opened by its path rather than through the organisation and
  // application names, so that the system-wide fallback files of QSettings
  // never count as stored settings.
  QFile file(path);
  if (!QFileInfo(path).isFile() || TooLarge(path) || !file.open(QIODevice::ReadOnly) || IsDamaged(file.readAll())) {
    return false;
  }
  file.close();
  const QSettings settings(path, QSettings::IniFormat);
  if (settings.status() != QSettings::NoError) return false;
  for (const QString& key : settings.childKeys()) {
    if (!key.isEmpty()) Values.emplace_back(key, settings.value(key));
  }
  return true;
}

const QVariant* TSettingsStore::Find(const std::string& name) const {
  const QString wanted = QString::fromStdString(name);
  // The spelling asked for wins when the file holds more than one.
  for (const auto& [key, value] : Values) {
    if (key == wanted) return &value;
  }
  for (const auto& [key, value] : Values) {
    if (key.compare(wanted, Qt::CaseInsensitive) == 0) return &value;
  }
  return nullptr;
}

std::optional<std::int32_t> TSettingsStore::ReadInteger(const std::string& name) const {
  const QVariant* value = Find(name);
  if (value == nullptr) return std::nullopt;
  bool ok = false;
  qlonglong number = 0;
  switch (value->typeId()) {
    case QMetaType::QString:
      number = value->toString().toLongLong(&ok, 10);
      break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
      number = value->toLongLong(&ok);
      break;
    default:
      break;
  }
  if (!ok || number < std::numeric_limits<std::int32_t>::min() ||
      number > std::numeric_limits<std::int32_t>::max()) {
    throw InvalidDataType(name);
  }
  return static_cast<std::int32_t>(number);
}

std::optional<std::string> TSettingsStore::ReadString(const std::string& name) const {
  const QVariant* value = Find(name);
  if (value == nullptr) return std::nullopt;
  // A line with commas reads as a list, "@ByteArray(...)" as bytes: neither is plain text.
  if (value->typeId() != QMetaType::QString) throw InvalidDataType(name);
  return value->toString().toStdString();
}

void TSettingsStore::Write(const std::vector<TStoredValue>& values) const {
  // One write of all values: a refusal is reported for the first of them.
  const std::string first = values.empty() ? std::string() : values.front().Name;
  const QString path = QString::fromStdString(FilePath);
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) throw CannotSetData(first);

  if (QFileInfo::exists(path)) {
    QFile file(path);
    // A file that cannot be read cannot be merged with: leave it alone.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) throw CannotSetData(first);
    if (TooLarge(path) || IsDamaged(file.readAll())) {
      // QSettings would write back only the lines it understood; the damaged
      // file is moved aside whole instead, and a fresh one written.
      file.close();
      const QString aside = path + ".damaged";
      QFile::remove(aside);
      if (!QFile::rename(path, aside)) throw CannotSetData(first);
    }
  }

  ClearLeftOverLock(path);
  QSettings settings(path, QSettings::IniFormat);
  // The new contents go to a temporary file that replaces the old one only
  // when it is complete, so a crash or a full disk leaves the old file whole.
  settings.setAtomicSyncRequired(true);
  for (const TStoredValue& value : values) {
    const QString name = QString::fromStdString(value.Name);
    for (const QString& key : settings.childKeys()) {
      if (key != name && key.compare(name, Qt::CaseInsensitive) == 0) settings.remove(key);
    }
    if (const auto* number = std::get_if<std::int32_t>(&value.Value)) {
      settings.setValue(name, static_cast<int>(*number));
    } else {
      settings.setValue(name, QString::fromStdString(std::get<std::string>(value.Value)));
    }
  }
  settings.sync();
  if (settings.status() != QSettings::NoError) throw CannotSetData(first);
}

}  // namespace kolbet
