// The melody members: each forwards to the melody store's own routine, and
// loading shows what it read.

#include "control/playctrl.h"
#include "melody/player_store.h"
#include "control/title_label.h"
#include "melody/melody_reader.h"
#include "melody/melody_writer.h"
#include "melody/mod_tambolin.h"
#include "melody/note_codec.h"
#include "melody/title_text.h"

#include <QAbstractButton>
#include <QLabel>

namespace tambolin {

void PLAYCTRL::FileSave(QString &fname) {
    step([&] { tambolin::FileSave(fname); });
}

void PLAYCTRL::FileLoad(QString &fname) {
    step([&] { tambolin::FileLoad(fname); });
}

void PLAYCTRL::kijyunput(Integer &kno) {
    step([&] { tambolin::kijyunput(kno); });
}

void PLAYCTRL::onpdatget(Integer &dat, Integer &onpdat, Integer &kaidat) {
    step([&] { tambolin::onpdatget(dat, onpdat, kaidat); });
}

void PLAYCTRL::onpdatput(Integer &onpdat, Integer &kaidat, Boolean &sanrflg, Integer &sanrcnt) {
    step([&] { tambolin::onpdatput(onpdat, kaidat, sanrflg, sanrcnt); });
}

QVariant PLAYCTRL::TitleName_Get(QByteArray &tbyte, Integer &tsize) {
    QVariant title;
    step([&] { title = tambolin::TitleName_Get(tbyte, tsize); });
    return title;
}

void PLAYCTRL::TitleName_Put(Integer &pnum) {
    step([&] { tambolin::TitleName_Put(pnum); });
}

void PLAYCTRL::loadMelody(const QString &path) {
    MOD_TAMBOLIN &m = mod();
    step([&] { setMousePointer(11); });
    const Integer longest = loadIntoStore(path);
    step([&] { m_label1->setCaption(m.mtitle); });
    step([&] { m_tag = path; });
    step([&] { setMousePointer(0); });
    step([&] { m_label2.at(1)->setText(QString::number(longest)); });
    step([&] { m_command1.at(0)->setEnabled(true); });
}

} // namespace tambolin
