#include "control/automation/dbus_adaptor.h"

#include "control/automation/automation.h"
#include "control/playctrl.h"

namespace tambolin {

using automation::Method;
using automation::PropertyGet;
using automation::PropertyPut;

PlayctrlBusObject::PlayctrlBusObject(PLAYCTRL &ctrl, QDBusConnection bus, QString path)
    : QObject(&ctrl), m_ctrl(&ctrl), m_bus(std::move(bus)), m_path(std::move(path)) {}

PlayctrlBusObject::~PlayctrlBusObject() {
    if (m_bus.objectRegisteredAt(m_path) == this)
        m_bus.unregisterObject(m_path);
}

template <class... Out>
QVariant PlayctrlBusObject::invoke(const char *name, int kind, QVariantList args,
                                   Out &...out) const {
    QVariant result;
    if (m_ctrl)
        result = automation::Invoke(*m_ctrl, QString::fromLatin1(name), kind, args).result;
    qsizetype i = 0;
    ((out = args.at(i++).value<Out>()), ...);
    return result;
}

QString PlayctrlBusObject::FileName() const {
    return invoke("FileName", PropertyGet, {}).toString();
}

void PlayctrlBusObject::setFileName(const QString &value) {
    invoke("FileName", PropertyPut, {value});
}

bool PlayctrlBusObject::Play() const {
    return invoke("Play", PropertyGet, {}).toBool();
}

void PlayctrlBusObject::setPlay(bool on) {
    invoke("Play", PropertyPut, {on});
}

QString PlayctrlBusObject::MTitle() const {
    return invoke("MTitle", PropertyGet, {}).toString();
}

void PlayctrlBusObject::FileSave(const QString &fname, QString &fnameOut) {
    invoke("FileSave", Method, {fname}, fnameOut);
}

void PlayctrlBusObject::IniLoad() {
    invoke("IniLoad", Method, {});
}

void PlayctrlBusObject::IniSave() {
    invoke("IniSave", Method, {});
}

void PlayctrlBusObject::kijyunput(short kno, short &knoOut) {
    invoke("kijyunput", Method, {kno}, knoOut);
}

void PlayctrlBusObject::MidiEnd() {
    invoke("MidiEnd", Method, {});
}

void PlayctrlBusObject::MidiInit() {
    invoke("MidiInit", Method, {});
}

void PlayctrlBusObject::MidiOff(short kk, short &kkOut) {
    invoke("MidiOff", Method, {kk}, kkOut);
}

void PlayctrlBusObject::onpdatget(short dat, short onpdat, short kaidat, short &datOut,
                                  short &onpdatOut, short &kaidatOut) {
    invoke("onpdatget", Method, {dat, onpdat, kaidat}, datOut, onpdatOut, kaidatOut);
}

void PlayctrlBusObject::onpdatput(short onpdat, short kaidat, bool sanrflg, short sanrcnt,
                                  short &onpdatOut, short &kaidatOut, bool &sanrflgOut,
                                  short &sanrcntOut) {
    invoke("onpdatput", Method, {onpdat, kaidat, sanrflg, sanrcnt}, onpdatOut, kaidatOut,
           sanrflgOut, sanrcntOut);
}

QDBusVariant PlayctrlBusObject::TitleName_Get(const QByteArray &tbyte, short tsize,
                                              QByteArray &tbyteOut, short &tsizeOut) {
    QVariant result = invoke("TitleName_Get", Method, {tbyte, tsize}, tbyteOut, tsizeOut);
    // An empty Variant cannot travel on the bus; it reads as an empty text.
    if (!result.isValid())
        result = QString();
    return QDBusVariant(result);
}

void PlayctrlBusObject::TitleName_Put(short pnum, short &pnumOut) {
    invoke("TitleName_Put", Method, {pnum}, pnumOut);
}

void PlayctrlBusObject::MidiOn(short kk, short &kkOut) {
    invoke("MidiOn", Method, {kk}, kkOut);
}

void PlayctrlBusObject::FileLoad(const QString &fname, QString &fnameOut) {
    invoke("FileLoad", Method, {fname}, fnameOut);
}

void PlayctrlBusObject::meter(short a, short n, short &aOut, short &nOut) {
    invoke("meter", Method, {a, n}, aOut, nOut);
}

} // namespace tambolin
