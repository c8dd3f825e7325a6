// The two stored MIDI choices: device list entry and instrument list entry,
// kept as decimal texts under the player's registry key.

#include "control/checked.h"
#include "control/frm_tboset.h"
#include "control/module_utility.h"
#include "control/playctrl.h"
#include "melody/mod_tambolin.h"
#include "platform/registry/registry.h"
#include "util/cl_gl010c.h"

#include <QComboBox>

namespace tambolin {

namespace {

const QString kKey = QStringLiteral("SOFTWARE\\Tamberlo Player");

// A stored text as a 16-bit number; an empty or non-numeric text fails the
// statement, so the variable keeps its value.
Integer integerFromText(const QString &text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok)
        failStep();
    return cint(value);
}

} // namespace

void PLAYCTRL::IniLoad() {
    MOD_TAMBOLIN &m = mod();
    Long root = HKEY_LOCAL_MACHINE;
    QString key = kKey;
    QString port = QStringLiteral("midiport");
    QString source = QStringLiteral("midisource");
    step([&] { m.midiport = integerFromText(gl010c().RVN_RegGet(root, key, port)); });
    step([&] { m.midisource = integerFromText(gl010c().RVN_RegGet(root, key, source)); });
}

void PLAYCTRL::IniSave() {
    MOD_TAMBOLIN &m = mod();
    step([&] {
        m.midiport = toInteger(checked(checked(m_settings).cmbOutDevice()).currentIndex());
    });
    step([&] {
        m.midisource =
            toInteger(checked(checked(m_settings).lstMusicalInstruments()).currentIndex());
    });
    Long root = HKEY_LOCAL_MACHINE;
    QString key = kKey;
    step([&] {
        QString name = QStringLiteral("midiport");
        QString text = QString::number(m.midiport);
        gl010c().RVN_RegSet(root, key, name, text);
    });
    step([&] {
        QString name = QStringLiteral("midisource");
        QString text = QString::number(m.midisource);
        gl010c().RVN_RegSet(root, key, name, text);
    });
}

} // namespace tambolin
