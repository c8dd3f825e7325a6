#pragma once
// What the program says about itself: its name and version for the
// application object, and the product texts shown by the desktop.

#include <QString>

class QApplication;
class QIcon;

namespace tambolin {

struct VersionInfo final {
    QString internalName;    // "TBO"
    QString fileName;        // the program file
    QString version;         // "1.00"
    QString productName;     // "Tamberlo Player"
    QString fileDescription; // one line on what the program is
    QString desktopFileName; // the desktop entry, without ".desktop"
};

const VersionInfo &tboVersionInfo();

// The program's icon, from its resources.
QIcon tboIcon();

// Names the application after info: name, version, desktop entry, icon, and
// the product texts as the properties "productName" and "fileDescription".
void applyVersionInfo(QApplication &app, const VersionInfo &info);

} // namespace tambolin
