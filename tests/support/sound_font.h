#pragma once
// Whether the embedded synthesizer has a General MIDI sound font to play
// with here: the one the user names, or one of the system's.

#include <QFile>
#include <QString>
#include <QtGlobal>

namespace tambolin::testing {

inline bool haveSoundFont() {
    if (!qEnvironmentVariableIsEmpty("TAMBOLIN_SOUNDFONT"))
        return true;
    for (const char *path :
         {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
          "/usr/share/sounds/sf3/default-GM.sf3"})
        if (QFile::exists(QString::fromLatin1(path)))
            return true;
    return false;
}

} // namespace tambolin::testing
