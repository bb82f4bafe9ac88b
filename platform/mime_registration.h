#pragma once
// The ".kbm" music files for the desktop: a shared-mime-info entry that names
// them "Kolbet Musi" and gives them the beer-mug icon, kept in the user's data
// folder ($XDG_DATA_HOME, ~/.local/share when not set):
//   mime/packages/brivlo-kolbet.xml                              the entry
//   icons/hicolor/32x32/mimetypes/audio-x-kolbet-musi.png  the icon
// The Debian package installs the same files into /usr/share; a system that
// knows the type so needs nothing of the user's.
// No application is associated with the type: the game does not open files.

#include <QByteArray>
#include <QString>

#include <functional>

namespace kolbet {

// The file type's name and the file names under the data folder.
inline constexpr const char* KbmMimeType = "audio/x-kolbet-musi";
inline constexpr const char* KbmMimePackage = "mime/packages/brivlo-kolbet.xml";
inline constexpr const char* KbmMimeIcon = "icons/hicolor/32x32/mimetypes/audio-x-kolbet-musi.png";
inline constexpr const char* KbmMimeEntry =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
    "  <mime-type type=\"audio/x-kolbet-musi\">\n"
    "    <comment>Kolbet Musi</comment>\n"
    "    <icon name=\"audio-x-kolbet-musi\"/>\n"
    "    <glob pattern=\"*.kbm\"/>\n"
    "  </mime-type>\n"
    "</mime-info>\n";

// Runs the desktop's refresh of the MIME database for that "mime" folder.
using MimeRefresh = std::function<void(const QString& mimeFolder)>;

// Writes the entry and the icon (PNG bytes, 32 × 32) anew at every start,
// each file replaced whole; nothing when a data folder of the system
// ($XDG_DATA_DIRS) holds the entry already. Only when the entry's text differs from what was
// there is the MIME database refreshed: by default `update-mime-database` is
// started and not waited for; a missing program is ignored. A refused write
// throws DataError ("Konnte Daten für '…/brivlo-kolbet.xml' nicht setzen",
// naming the file).
void RegisterKbmFileType(const QByteArray& iconPng);
void RegisterKbmFileType(const QByteArray& iconPng, const MimeRefresh& refresh);

}  // namespace kolbet
