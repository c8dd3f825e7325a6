#pragma once
// The bus face of one player control. Each slot invokes the member of the
// same name through the automation table and returns the member's result,
// if any, then the by-reference arguments as the member left them.

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>
#include <QPointer>
#include <QVariantList>

namespace tambolin {

class PLAYCTRL;

class PlayctrlBusObject final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tamberlo.Player.PLAYCTRL")
    Q_PROPERTY(QString FileName READ FileName WRITE setFileName)
    Q_PROPERTY(bool Play READ Play WRITE setPlay)
    Q_PROPERTY(QString MTitle READ MTitle)
public:
    PlayctrlBusObject(PLAYCTRL &ctrl, QDBusConnection bus, QString path);
    ~PlayctrlBusObject() override;

    QString FileName() const;
    void setFileName(const QString &value);
    bool Play() const;
    void setPlay(bool on);
    QString MTitle() const;

public slots:
    void FileSave(const QString &fname, QString &fnameOut);
    void IniLoad();
    void IniSave();
    void kijyunput(short kno, short &knoOut);
    void MidiEnd();
    void MidiInit();
    void MidiOff(short kk, short &kkOut);
    void onpdatget(short dat, short onpdat, short kaidat, short &datOut, short &onpdatOut,
                   short &kaidatOut);
    void onpdatput(short onpdat, short kaidat, bool sanrflg, short sanrcnt, short &onpdatOut,
                   short &kaidatOut, bool &sanrflgOut, short &sanrcntOut);
    QDBusVariant TitleName_Get(const QByteArray &tbyte, short tsize, QByteArray &tbyteOut,
                               short &tsizeOut);
    void TitleName_Put(short pnum, short &pnumOut);
    void MidiOn(short kk, short &kkOut);
    void FileLoad(const QString &fname, QString &fnameOut);
    void meter(short a, short n, short &aOut, short &nOut);

private:
    // Invokes the member and copies the by-reference values it left into out.
    template <class... Out>
    QVariant invoke(const char *name, int kind, QVariantList args, Out &...out) const;

    QPointer<PLAYCTRL> m_ctrl;
    QDBusConnection m_bus;
    QString m_path;
};

} // namespace tambolin
