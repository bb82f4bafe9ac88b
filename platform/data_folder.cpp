#include "platform/data_folder.h"

#include <QDir>
#include <QFileInfo>

namespace kolbet {

std::vector<QString> GoToDataFolder(const QString& pack, const QString& installed) {
  const QString here = QDir::currentPath();
  std::vector<QString> searched{here};
  if (QFileInfo(pack).isFile()) return searched;
  const QString there = QDir::cleanPath(QFileInfo(installed).absoluteFilePath());
  if (there == here) return searched;
  searched.push_back(there);
  if (QFileInfo(QDir(there).filePath(pack)).isFile()) QDir::setCurrent(there);
  return searched;
}

QString InstalledDataFolder(const QString& programFolder) {
  // KOLBET_DATA_FROM_PROGRAM is the data folder relative to the program's
  // folder under the prefix, as the build configured them.
  return QDir::cleanPath(programFolder + "/" + KOLBET_DATA_FROM_PROGRAM);
}

std::string NotFoundIn(const std::string& file, const std::vector<QString>& searched) {
  std::string text = "Datei " + file + " kann nicht geöffnet werden (gesucht in ";
  for (std::size_t i = 0; i < searched.size(); ++i) {
    if (i > 0) text += " und in ";
    text += searched[i].toStdString();
  }
  return text + ")";
}

}  // namespace kolbet
