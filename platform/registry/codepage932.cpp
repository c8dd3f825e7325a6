#include "platform/registry/codepage932.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <vector>

namespace tambolin::cp932 {

namespace {

// glibc's "CP932" gives the system's answers both ways; "SHIFT_JIS" is plain
// JIS X 0208 and must not be used.
constexpr const char *CodePageName = "CP932";

struct IconvHandle {
    iconv_t cd;
    IconvHandle(const char *to, const char *from) : cd(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (valid())
            iconv_close(cd);
    }
    IconvHandle(const IconvHandle &) = delete;
    IconvHandle &operator=(const IconvHandle &) = delete;
    bool valid() const { return cd != reinterpret_cast<iconv_t>(-1); }
};

constexpr char16_t Replacement = 0xFFFD;

// Characters of the two-byte pairs, indexed by (lead << 8) | trail; built once.
class PairTable {
public:
    PairTable() : m_chars(0x10000, Replacement) {
        IconvHandle cd("UTF-16LE", CodePageName);
        if (!cd.valid())
            return;
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(static_cast<unsigned char>(lead)))
                continue;
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                if (!isTrailByte(static_cast<unsigned char>(trail)))
                    continue;
                char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                char out[8];
                char *inp = in;
                char *outp = out;
                size_t inLeft = 2, outLeft = sizeof out;
                iconv(cd.cd, nullptr, nullptr, nullptr, nullptr);
                if (iconv(cd.cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1))
                    continue;
                if (sizeof out - outLeft != 2)
                    continue; // one pair is one BMP character or none
                const auto lo = static_cast<unsigned char>(out[0]);
                const auto hi = static_cast<unsigned char>(out[1]);
                m_chars[(lead << 8) | trail] = static_cast<char16_t>(lo | (hi << 8));
            }
        }
    }
    char16_t at(unsigned char lead, unsigned char trail) const {
        return m_chars[(static_cast<unsigned>(lead) << 8) | trail];
    }

private:
    std::vector<char16_t> m_chars;
};

const PairTable &pairs() {
    static const PairTable table;
    return table;
}

// A single byte on its own.
char16_t singleByte(unsigned char b) {
    if (b < 0x80)
        return b;
    if (b >= 0xA1 && b <= 0xDF)
        return static_cast<char16_t>(0xFF61 + (b - 0xA1)); // half-width katakana
    switch (b) {
    case 0x80:
        return 0x0080;
    case 0xA0:
        return 0xF8F0;
    case 0xFD:
        return 0xF8F1;
    case 0xFE:
        return 0xF8F2;
    case 0xFF:
        return 0xF8F3;
    default:
        return Replacement; // a lead byte without its second byte
    }
}

// Code units the system maps to single bytes of its own outside iconv's table.
int specialByte(char16_t u) {
    switch (u) {
    case 0x0080:
        return 0x80;
    case 0xF8F0:
        return 0xA0;
    case 0xF8F1:
        return 0xFD;
    case 0xF8F2:
        return 0xFE;
    case 0xF8F3:
        return 0xFF;
    default:
        return -1;
    }
}

// Encodes one BMP character (not a surrogate) through iconv; empty when it has no form.
QByteArray encodeOne(iconv_t cd, char16_t u) {
    char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    char out[8];
    char *inp = in;
    char *outp = out;
    size_t inLeft = 2, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1))
        return {};
    return QByteArray(out, static_cast<qsizetype>(sizeof out - outLeft));
}

struct Encoder {
    IconvHandle cd{CodePageName, "UTF-16LE"};
};

Encoder &encoder() {
    // iconv descriptors carry conversion state: one per thread.
    thread_local Encoder e;
    return e;
}

} // namespace

QByteArray fromUnicode(const QString &text) {
    QByteArray out;
    out.reserve(text.size() * 2);
    Encoder &enc = encoder();
    for (const QChar qc : text) {
        const char16_t u = qc.unicode();
        if (u < 0x80) {
            out.append(static_cast<char>(u));
            continue;
        }
        if (u >= 0xFF61 && u <= 0xFF9F) {
            out.append(static_cast<char>(0xA1 + (u - 0xFF61)));
            continue;
        }
        if (const int special = specialByte(u); special >= 0) {
            out.append(static_cast<char>(special));
            continue;
        }
        // Surrogates have no form of their own: each unit becomes "?".
        QByteArray bytes;
        if (!QChar::isSurrogate(u) && enc.cd.valid())
            bytes = encodeOne(enc.cd.cd, u);
        out.append(bytes.isEmpty() ? QByteArray("?") : bytes);
    }
    return out;
}

QString toUnicode(const QByteArray &bytes) {
    QString out;
    out.reserve(bytes.size());
    const PairTable &table = pairs();
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (isLeadByte(b) && i + 1 < size &&
            isTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
            out.append(QChar(table.at(b, static_cast<unsigned char>(bytes[i + 1]))));
            ++i;
            continue;
        }
        out.append(QChar(singleByte(b)));
    }
    return out;
}

QChar charOf(unsigned char b) {
    return QChar(singleByte(b));
}

QChar charOf(unsigned char lead, unsigned char trail) {
    if (!isLeadByte(lead) || !isTrailByte(trail))
        return QChar(Replacement);
    return QChar(pairs().at(lead, trail));
}

qsizetype byteLength(const QString &text) {
    return fromUnicode(text).size();
}

qsizetype indexOfChar(QByteArrayView bytes, char c, qsizetype from) {
    for (qsizetype i = std::max<qsizetype>(from, 0); i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (bytes[i] == c)
            return i;
        if (isLeadByte(b) && i + 1 < bytes.size())
            ++i;
    }
    return -1;
}

} // namespace tambolin::cp932
