#pragma once
// Who the desktop player is to the desktop: its names, its desktop entry and
// the melodies and addresses it opens.

#include <QString>
#include <QStringList>

class QIcon;

namespace tambolin::tamberlo {

inline constexpr char kProgramName[] = "tamberlo";
inline constexpr char kIdentity[] = "Tamberlo Player";
inline constexpr char kDesktopEntry[] = "org.tamberlo.Player"; // without ".desktop"
inline constexpr char kMelodyMimeType[] = "audio/x-tbn";

// The address schemes the player opens: local files and downloads.
QStringList supportedUriSchemes();
QStringList supportedMimeTypes();

// The icon, from the theme under the desktop id, else the one built in.
QIcon appIcon();

// Names the application: program name, version, desktop entry, icon.
void applyAppInfo();

} // namespace tambolin::tamberlo
