#include "platform/mime_registration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include "platform/settings_store.h"

namespace kolbet {

namespace {

QByteArray EntryText() {
  return QByteArray(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
      "  <mime-type type=\"") + KbmMimeType + "\">\n"
      "    <comment>Kolbet Musi</comment>\n"
      "    <icon name=\"" + QFileInfo(KbmMimeIcon).completeBaseName().toUtf8() + "\"/>\n"
      "    <glob pattern=\"*.kbm\"/>\n"
      "  </mime-type>\n"
      "</mime-info>\n";
}

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

void StartUpdateMimeDatabase(const QString& mimeFolder) {
  // Not waited for, so that it does not hold up the start; without the
  // program the desktop simply learns of the type later.
  QProcess::startDetached("update-mime-database", {mimeFolder});
}

}  // namespace

void RegisterKbmFileType(const QByteArray& iconPng) { RegisterKbmFileType(iconPng, StartUpdateMimeDatabase); }

void RegisterKbmFileType(const QByteArray& iconPng, const MimeRefresh& refresh) {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  const QString entry = data + "/" + KbmMimePackage;
  const QByteArray text = EntryText();
  const bool changed = ReadAll(entry) != text;
  // The icon first, so that the entry never names an icon that is not there.
  WriteWhole(data + "/" + KbmMimeIcon, iconPng);
  WriteWhole(entry, text);
  if (changed && refresh) refresh(data + "/mime");
}

}  // namespace kolbet
