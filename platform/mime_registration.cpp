#include "platform/mime_registration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

#include "platform/settings_store.h"

namespace kolbet {

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file whole: the bytes go to a temporary file beside it, which
// takes the file's place only when complete.
void WriteWhole(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  const bool ok = QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
                  file.write(bytes) == bytes.size() && file.commit();
  if (!ok) throw CannotSetData(path.toStdString());
}

// Whether a data folder of the system holds the entry, as the package installs it.
bool KnownSystemWide(const QString& own) {
  const QStringList folders = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
  return std::any_of(folders.begin(), folders.end(), [&](const QString& folder) {
    return folder != own && QFileInfo(folder + "/" + KbmMimePackage).isFile();
  });
}

void StartUpdateMimeDatabase(const QString& mimeFolder) {
  // Not waited for, so that it does not hold up the start; without the
  // program the desktop simply learns of the type later.
  QProcess::startDetached("update-mime-database", {mimeFolder});
}

}  // namespace

void RegisterKbmFileType(const QByteArray& iconPng) { RegisterKbmFileType(iconPng, StartUpdateMimeDatabase); }

void RegisterKbmFileType(const QByteArray& iconPng, const MimeRefresh& refresh) {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (KnownSystemWide(data)) return;
  const QString entry = data + "/" + KbmMimePackage;
  const QByteArray text(KbmMimeEntry);
  const bool changed = ReadAll(entry) != text;
  // The icon first, so that the entry never names an icon that is not there.
  WriteWhole(data + "/" + KbmMimeIcon, iconPng);
  WriteWhole(entry, text);
  if (changed && refresh) refresh(data + "/mime");
}

}  // namespace kolbet
