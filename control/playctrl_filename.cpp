// Writing FileName: load a melody file by its path, or download a URL into
// the user's download folder first and load that.

#include "control/module_utility.h"
#include "control/playctrl.h"
#include "control/title_label.h"
#include "melody/mod_tambolin.h"
#include "platform/files/binetx_download.h"
#include "platform/files/binetx_loader.h"
#include "util/cl_gl010c.h"

#include <QPointer>

namespace tambolin {

namespace {

// Every URL load writes this one file in the download folder.
const QString downloadName = QStringLiteral("~tambol.tbn");

// Only these two schemes are downloaded, in any letter case; anything else
// (https:// included) is a local name.
bool isDownloadUrl(const QString &value) {
    return value.left(7).toUpper() == QLatin1String("HTTP://") ||
           value.left(6).toUpper() == QLatin1String("FTP://");
}

// The URL as one token of the command text: blanks and control characters,
// which would end it early and let the rest name another folder or file,
// go percent-encoded (as UTF-8); everything else is passed on as written.
QString asOneToken(const QString &url) {
    QString out;
    out.reserve(url.size());
    for (const QChar c : url) {
        if (c.isSpace() || c.category() == QChar::Other_Control) {
            for (const char byte : QString(c).toUtf8())
                out += QLatin1Char('%') + QString::number(static_cast<unsigned char>(byte), 16)
                                              .toUpper()
                                              .rightJustified(2, u'0');
        } else {
            out += c;
        }
    }
    return out;
}

// The download a control waits for, as a child of the control: when the
// control goes, or a newer FileName write comes, the download is cancelled
// and the waiting write returns without touching anything.
class RunningDownload final : public QObject {
public:
    RunningDownload(QObject *control, BinetxDownload::Canceller canceller)
        : QObject(control), m_canceller(std::move(canceller)) {}
    ~RunningDownload() override { m_canceller.cancel(); }

    void supersede() {
        m_superseded = true;
        m_canceller.cancel();
    }
    bool superseded() const { return m_superseded; }

private:
    BinetxDownload::Canceller m_canceller;
    bool m_superseded = false;
};

void supersedeRunningDownloads(QObject &control) {
    for (QObject *child : control.children())
        if (auto *running = dynamic_cast<RunningDownload *>(child))
            running->supersede();
}

} // namespace

void PLAYCTRL::setFileName(QString &value) {
    // The latest write wins: a download still running for an earlier one
    // (this write came while it waited) is given up.
    step([&] { supersedeRunningDownloads(*this); });
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
        step([&] { folder = privateDownloadFolder(gl010c().RVN_TempPath()); });
        Long result = 0;
        const QPointer<PLAYCTRL> self(this);
        QPointer<RunningDownload> running;
        step([&] {
            if (folder.isEmpty())
                return; // no folder of our own: a failed download
            BinetxDownload download(QStringLiteral("-d ") + folder + QStringLiteral(" -o ") +
                                    downloadName + QLatin1Char(' ') + asOneToken(value));
            running = new RunningDownload(this, download.canceller());
            // The event loop runs meanwhile: paints, timers, clicks, and
            // perhaps another write or the control's end.
            result = download.run();
        });
        if (!self)
            return;
        const bool superseded = running && running->superseded();
        delete running.data();
        if (superseded)
            return;
        if (result != 1) {
            // The melody, the Tag and the stopped state stay as they are.
            step([&] { setMousePointer(0); });
            step([&] { m_label1->setCaption(value + QStringLiteral("のﾀﾞｳﾝﾛｰﾄﾞに失敗")); });
            return;
        }
        // Play may have been pressed while the download ran: the new melody
        // is loaded stopped and plays as that one did.
        step([&] {
            if (Play() != True)
                return;
            wasPlaying = True;
            Boolean off = False;
            setPlay(off);
        });
        step([&] { local = folder + downloadName; });
    }

    loadMelody(local);
    if (wasPlaying == True)
        step([&] {
            Boolean on = True;
            setPlay(on);
        });
}

} // namespace tambolin
