#include "melody/title_text.h"

#include "melody/mod_tambolin.h"
#include "melody/service_jis_sjis.h"
#include "platform/files/file_numbers.h"
#include "platform/registry/codepage932.h"

#include <algorithm>

namespace tambolin {

namespace {

constexpr Byte Esc = 27;

bool escapeAt(const char *data, qsizetype p, Byte second, Byte third) {
    return static_cast<Byte>(data[p]) == Esc && static_cast<Byte>(data[p + 1]) == second &&
           static_cast<Byte>(data[p + 2]) == third;
}

QString decode(const char *data, qsizetype size) {
    QString result;
    result.reserve(size);
    bool twoByte = false;
    qsizetype p = 0;
    while (p < size) {
        if (p + 2 < size && escapeAt(data, p, '$', 'B')) {
            twoByte = true;
            p += 3;
            continue;
        }
        if (p + 2 < size && escapeAt(data, p, '(', 'B')) {
            twoByte = false;
            p += 3;
            continue;
        }
        if (twoByte && p + 1 < size) {
            Byte b1 = static_cast<Byte>(data[p]);
            Byte b2 = static_cast<Byte>(data[p + 1]);
            JisToSjis(b1, b2);
            if (b1 == 0 && b2 == 0)
                result.append(QChar(0)).append(QChar(0)); // a rejected pair stays two NULs
            else
                result.append(cp932::charOf(b1, b2));
            p += 2;
            continue;
        }
        result.append(cp932::charOf(static_cast<Byte>(data[p])));
        ++p;
    }
    return result;
}

void putEscape(QByteArray &out, char second) {
    out.append(static_cast<char>(Esc));
    out.append(second);
    out.append('B');
}

} // namespace

QString decodeTitle(const QByteArray &bytes) {
    return decode(bytes.constData(), bytes.size());
}

QVariant TitleName_Get(QByteArray &tbyte, Integer &tsize) {
    const qsizetype available = std::max<qsizetype>(tbyte.size() - 1, 0);
    const qsizetype size = std::clamp<qsizetype>(tsize, 0, available);
    return QVariant(size > 0 ? decode(tbyte.constData() + 1, size) : QString());
}

QByteArray encodeTitle(const QString &title) {
    constexpr int Limit = 24;
    QByteArray out;
    int n = 0;
    bool twoByte = false;
    for (qsizetype i = 0; i < title.size(); ++i) {
        QString c = title.mid(i, 1);
        const Long bytes = static_cast<Long>(cp932::byteLength(c));
        bool stop = false;
        if (bytes == 1) {
            if (twoByte) {
                putEscape(out, '(');
                n += 3;
                twoByte = false;
            }
            if (n < Limit) {
                out.append(cp932::fromUnicode(c).at(0));
                n += 1;
            } else {
                stop = true;
            }
        } else if (bytes == 2) {
            // A two-byte run needs room for its opening, one pair and its closing.
            if (!twoByte && n + 7 >= Limit) {
                stop = true;
            } else {
                if (!twoByte) {
                    putEscape(out, '$');
                    n += 3;
                    twoByte = true;
                }
                const QByteArray sjis = cp932::fromUnicode(c);
                Byte b1 = static_cast<Byte>(sjis.at(0));
                Byte b2 = static_cast<Byte>(sjis.at(1));
                SjisToJis(b1, b2);
                out.append(static_cast<char>(b1));
                out.append(static_cast<char>(b2));
                n += 2;
            }
        }
        if (n >= Limit || (n + 3 >= Limit && twoByte))
            stop = true;
        if (stop)
            break;
    }
    if (twoByte)
        putEscape(out, '('); // the closing sequence is not counted
    return out;
}

void TitleName_Put(Integer &pnum) {
    for (const char b : encodeTitle(mod().mtitle))
        step([&] { PutByte(pnum, static_cast<Byte>(b)); });
}

} // namespace tambolin
