// Files and paths, and the byte-wise string helpers that count in code page 932.

#include "util/cl_gl010c.h"

#include "platform/files/filesystem.h"
#include "platform/registry/codepage932.h"

#include <QFile>

namespace tambolin {

namespace {

constexpr quint32 PathBufferBytes = 256;

// Variant to Long as a conversion would do it: numbers rounded half to even,
// numeric text accepted, anything else fails.
Long variantToLong(const QVariant &v) {
    if (!v.isValid())
        return 0; // an empty variant converts to 0
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? True : False;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::SChar:
    case QMetaType::Char:
        return v.toInt();
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong: {
        bool ok = false;
        const qlonglong n = v.toLongLong(&ok);
        if (!ok)
            failStep();
        return toLong(n);
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return clng(v.toDouble());
    case QMetaType::QString: {
        bool ok = false;
        const double d = v.toString().trimmed().toDouble(&ok);
        if (!ok)
            failStep();
        return clng(d);
    }
    default:
        failStep();
    }
}

// The temporary folder exactly as the system reports it; empty when the query fails.
QString tempPath() {
    QByteArray buffer(PathBufferBytes, '\0');
    const quint32 n = GetTempPathA(PathBufferBytes, buffer);
    if (n == 0 || n >= PathBufferBytes)
        return {}; // too long for the buffer: nothing was filled in
    return QFile::decodeName(buffer.left(n));
}

} // namespace

Long CL_GL010C::RVN_Filesize(QString &fname) {
    Long result = -1;
    step([&] {
        const qint64 size = fileSize(fname);
        if (size >= 0)
            result = toLong(size);
    });
    return result;
}

Boolean CL_GL010C::RVN_Filekill(QString &fname) {
    return toBoolean(deleteFiles(fname));
}

Boolean CL_GL010C::RVN_Mkdir(QString &dname) {
    QString dir = dname;
    if (dir.endsWith(u'/'))
        dir.chop(1);
    return toBoolean(createFolder(dir));
}

QString CL_GL010C::RVN_Path(QString pname) {
    if (pname.isEmpty())
        return pname;
    if (!pname.endsWith(u'/'))
        return pname + u'/';
    return pname;
}

QString CL_GL010C::RVN_Pathcheck(QString &pname, QString &defdir) {
    if (pname.startsWith(u'/'))
        return pname;
    return defdir + pname; // the caller's defdir carries its trailing "/"
}

QString CL_GL010C::RVN_GetFileName(QString &strPathName) {
    if (strPathName.isEmpty() || strPathName.endsWith(u'/'))
        return {};
    if (!strPathName.contains(u'/'))
        return strPathName;
    for (qsizetype i = strPathName.size() - 1; i >= 0; --i) {
        const QChar c = strPathName[i];
        if (c == u'/' || c == u'\\')
            return strPathName.mid(i + 1);
    }
    return strPathName;
}

QString CL_GL010C::RVN_GetFileExt(QString &strFileName) {
    const qsizetype dot = strFileName.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    return strFileName.mid(dot + 1);
}

QString CL_GL010C::RVN_TempPath() {
    QString result;
    step([&] { result = tempPath(); });
    return result;
}

QString CL_GL010C::RVN_TempFilename(QString &hed) {
    QString result;
    step([&] {
        const QString folder = tempPath();
        if (folder.isEmpty())
            failStep();
        QByteArray buffer(PathBufferBytes, '\0');
        if (GetTempFileNameA(QFile::encodeName(folder), QFile::encodeName(hed), 0, buffer) == 0)
            failStep();
        const qsizetype nul = buffer.indexOf('\0');
        result = QFile::decodeName(nul < 0 ? buffer : buffer.left(nul));
    });
    return result;
}

Long CL_GL010C::RVN_LenB(QString &str) {
    Long result = 0;
    step([&] { result = toLong(cp932::byteLength(str)); });
    return result;
}

QString CL_GL010C::RVN_MidB(QString &sstr, Long &StartLengs, QVariant *vEndLen) {
    try {
        const Long total = toLong(cp932::byteLength(sstr));
        const Long length = vEndLen ? variantToLong(*vEndLen) : total;
        if (total < StartLengs)
            return {};
        const long long lastChar = toLong(static_cast<long long>(length) + StartLengs);
        const long long lastByte = static_cast<long long>(StartLengs) + length - 1;
        QString result;
        long long p = 0;
        for (long long i = 1; i <= lastChar && i <= sstr.size(); ++i) {
            const QChar c = sstr[i - 1];
            p += cp932::byteLength(QString(c));
            if (p >= StartLengs) {
                if (p > lastByte)
                    break;
                result.append(c);
            }
        }
        return result;
    } catch (...) {
        return {};
    }
}

} // namespace tambolin
