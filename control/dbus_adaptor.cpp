#include "control/dbus_adaptor.h"

#include "control/automation.h"
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

QVariant PlayctrlBusObject::invoke(const char *name, int kind, QVariantList &args) const {
    if (!m_ctrl)
        return {};
    return automation::Invoke(*m_ctrl, QString::fromLatin1(name), kind, args).result;
}

QString PlayctrlBusObject::FileName() const {
    QVariantList none;
    return invoke("FileName", PropertyGet, none).toString();
}

void PlayctrlBusObject::setFileName(const QString &value) {
    QVariantList args{value};
    invoke("FileName", PropertyPut, args);
}

bool PlayctrlBusObject::Play() const {
    QVariantList none;
    return invoke("Play", PropertyGet, none).toBool();
}

void PlayctrlBusObject::setPlay(bool on) {
    QVariantList args{on};
    invoke("Play", PropertyPut, args);
}

QString PlayctrlBusObject::MTitle() const {
    QVariantList none;
    return invoke("MTitle", PropertyGet, none).toString();
}

void PlayctrlBusObject::FileSave(const QString &fname, QString &fnameOut) {
    QVariantList args{fname};
    invoke("FileSave", Method, args);
    fnameOut = args.at(0).toString();
}

void PlayctrlBusObject::IniLoad() {
    QVariantList none;
    invoke("IniLoad", Method, none);
}

void PlayctrlBusObject::IniSave() {
    QVariantList none;
    invoke("IniSave", Method, none);
}

void PlayctrlBusObject::kijyunput(short kno, short &knoOut) {
    QVariantList args{int(kno)};
    invoke("kijyunput", Method, args);
    knoOut = static_cast<short>(args.at(0).toInt());
}

void PlayctrlBusObject::MidiEnd() {
    QVariantList none;
    invoke("MidiEnd", Method, none);
}

void PlayctrlBusObject::MidiInit() {
    QVariantList none;
    invoke("MidiInit", Method, none);
}

void PlayctrlBusObject::MidiOff(short kk, short &kkOut) {
    QVariantList args{int(kk)};
    invoke("MidiOff", Method, args);
    kkOut = static_cast<short>(args.at(0).toInt());
}

void PlayctrlBusObject::onpdatget(short dat, short onpdat, short kaidat, short &datOut,
                                  short &onpdatOut, short &kaidatOut) {
    QVariantList args{int(dat), int(onpdat), int(kaidat)};
    invoke("onpdatget", Method, args);
    datOut = static_cast<short>(args.at(0).toInt());
    onpdatOut = static_cast<short>(args.at(1).toInt());
    kaidatOut = static_cast<short>(args.at(2).toInt());
}

void PlayctrlBusObject::onpdatput(short onpdat, short kaidat, bool sanrflg, short sanrcnt,
                                  short &onpdatOut, short &kaidatOut, bool &sanrflgOut,
                                  short &sanrcntOut) {
    QVariantList args{int(onpdat), int(kaidat), sanrflg, int(sanrcnt)};
    invoke("onpdatput", Method, args);
    onpdatOut = static_cast<short>(args.at(0).toInt());
    kaidatOut = static_cast<short>(args.at(1).toInt());
    sanrflgOut = args.at(2).toBool();
    sanrcntOut = static_cast<short>(args.at(3).toInt());
}

QDBusVariant PlayctrlBusObject::TitleName_Get(const QByteArray &tbyte, short tsize,
                                              QByteArray &tbyteOut, short &tsizeOut) {
    QVariantList args{tbyte, int(tsize)};
    QVariant result = invoke("TitleName_Get", Method, args);
    tbyteOut = args.at(0).toByteArray();
    tsizeOut = static_cast<short>(args.at(1).toInt());
    // An empty Variant cannot travel on the bus; it reads as an empty text.
    if (!result.isValid())
        result = QString();
    return QDBusVariant(result);
}

void PlayctrlBusObject::TitleName_Put(short pnum, short &pnumOut) {
    QVariantList args{int(pnum)};
    invoke("TitleName_Put", Method, args);
    pnumOut = static_cast<short>(args.at(0).toInt());
}

void PlayctrlBusObject::MidiOn(short kk, short &kkOut) {
    QVariantList args{int(kk)};
    invoke("MidiOn", Method, args);
    kkOut = static_cast<short>(args.at(0).toInt());
}

void PlayctrlBusObject::FileLoad(const QString &fname, QString &fnameOut) {
    QVariantList args{fname};
    invoke("FileLoad", Method, args);
    fnameOut = args.at(0).toString();
}

void PlayctrlBusObject::meter(short a, short n, short &aOut, short &nOut) {
    QVariantList args{int(a), int(n)};
    invoke("meter", Method, args);
    aOut = static_cast<short>(args.at(0).toInt());
    nOut = static_cast<short>(args.at(1).toInt());
}

} // namespace tambolin
