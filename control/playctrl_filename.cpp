// Writing FileName: load a melody file by its path, or download a URL into
// the temporary folder first and load that.

#include "control/module_utility.h"
#include "control/playctrl.h"
#include "control/title_label.h"
#include "melody/mod_tambolin.h"
#include "platform/files/binetx_loader.h"
#include "util/cl_gl010c.h"

namespace tambolin {

namespace {

// Every URL load writes this one file in the temporary folder.
const QString downloadName = QStringLiteral("~tambol.tbn");

// Only these two schemes are downloaded, in any letter case; anything else
// (https:// included) is a local name.
bool isDownloadUrl(const QString &value) {
    return value.left(7).toUpper() == QLatin1String("HTTP://") ||
           value.left(6).toUpper() == QLatin1String("FTP://");
}

} // namespace

void PLAYCTRL::setFileName(QString &value) {
    MOD_TAMBOLIN &m = mod();
    Boolean wasPlaying = False;
    step([&] { wasPlaying = Play(); });
    step([&] {
        Boolean off = False;
        setPlay(off);
    });
    step([&] { setMousePointer(11); });

    QString local = value;
    if (isDownloadUrl(value)) {
        QString folder;
        step([&] { folder = gl010c().RVN_TempPath(); });
        Long result = 0;
        step([&] {
            Long reserved = 0;
            result = W3getv(QStringLiteral("-d ") + folder + QStringLiteral(" -o ") + downloadName +
                                QStringLiteral(" ") + value,
                            reserved);
        });
        if (result != 1) {
            // The melody, the Tag and the stopped state stay as they are.
            step([&] { setMousePointer(0); });
            step([&] { m_label1->setCaption(value + QStringLiteral("のﾀﾞｳﾝﾛｰﾄﾞに失敗")); });
            return;
        }
        step([&] { local = gl010c().RVN_Path(folder) + downloadName; });
    }

    loadMelody(local);
    if (wasPlaying == True)
        step([&] {
            Boolean on = True;
            setPlay(on);
        });
}

} // namespace tambolin
