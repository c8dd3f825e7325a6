// String formatting and text helpers. Every method goes on after a failing
// statement and returns what it had so far. Characters are UTF-16 code units
// and comparisons are by code unit.

#include "platform/desktop/handles.h"
#include "util/cl_gl010c.h"
#include "util/gl010c_numformat.h"
#include "util/gl010c_val.h"

#include <QFontMetrics>
#include <QLocale>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

namespace tambolin {

namespace {

// A text that must be a number as a whole (blanks around it allowed, also
// "&H" hexadecimal and "&O" octal); anything else fails the statement.
double wholeNumber(const QString &text) {
    const QString t = text.trimmed();
    bool ok = false;
    double value = 0;
    if (t.startsWith(QStringLiteral("&H"), Qt::CaseInsensitive))
        value = static_cast<double>(t.mid(2).toLongLong(&ok, 16));
    else if (t.startsWith(QStringLiteral("&O"), Qt::CaseInsensitive))
        value = static_cast<double>(t.mid(2).toLongLong(&ok, 8));
    else
        value = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(value))
        failStep();
    return value;
}

// Halves up: floor(x + 0.5).
double roundedUp(const QString &mdat) {
    return std::floor(wholeNumber(mdat) + 0.5);
}

// The last width characters of pad repeated width times followed by text.
QString rightAligned(const QString &text, int width, QChar pad) {
    return (QString(width, pad) + text).right(width);
}

bool sameChar(QChar c, const QString &schr) {
    return schr.size() == 1 && schr[0] == c;
}

QString replaceLeading(const QString &buf, const QString &schr, const QString &dchr) {
    QString out;
    qsizetype i = 0;
    for (; i < buf.size() && sameChar(buf[i], schr); ++i)
        out += dchr;
    return out + buf.mid(i);
}

QString replaceTrailing(const QString &buf, const QString &schr, const QString &dchr) {
    QString tail;
    qsizetype i = buf.size();
    for (; i > 0 && sameChar(buf[i - 1], schr); --i)
        tail += dchr;
    return buf.left(i) + tail;
}

// Path ellipsis: keep the last "/" component whole and as much of the text
// before it as fits together with "..."; a text without "/" loses its middle.
QString pathEllipsis(const QString &source, const QFontMetrics &metrics, int width) {
    if (metrics.horizontalAdvance(source) <= width)
        return source;
    const QString dots = QStringLiteral("...");
    const qsizetype slash = source.lastIndexOf(u'/');
    if (slash >= 0) {
        const QString tail = source.mid(slash);
        QString head = source.left(slash);
        while (!head.isEmpty()) {
            head.chop(1);
            const QString candidate = head + dots + tail;
            if (metrics.horizontalAdvance(candidate) <= width)
                return candidate;
        }
        return dots + tail;
    }
    // Drop characters from the middle, alternately right and left of it.
    QString left = source.left(source.size() / 2);
    QString right = source.mid(source.size() / 2);
    bool fromLeft = false;
    while (!left.isEmpty() || !right.isEmpty()) {
        if ((fromLeft && !left.isEmpty()) || right.isEmpty())
            left.chop(1);
        else
            right.remove(0, 1);
        fromLeft = !fromLeft;
        const QString candidate = left + dots + right;
        if (metrics.horizontalAdvance(candidate) <= width)
            return candidate;
    }
    return dots;
}

} // namespace

QString CL_GL010C::RVN_FormatChange(QString &mdat, QString &Fstr) {
    QString rest = Fstr;
    QString out;
    while (!rest.isEmpty()) {
        const qsizetype p = rest.indexOf(u'%');
        if (p < 0) {
            out += rest;
            break;
        }
        const QString before = rest.left(p);
        const QChar c1 = p + 1 < rest.size() ? rest[p + 1].toUpper() : QChar();
        const QChar c2 = p + 2 < rest.size() ? rest[p + 2].toUpper() : QChar();
        const int width = (c1 >= u'0' && c1 <= u'9') ? c1.digitValue() : 0;
        qsizetype drop = 1;
        if (c1 == u'S') {
            out += before + mdat;
            drop = 2;
        } else if (c1 == u'D') {
            // Not a number: the directive and the text before it give nothing.
            step([&] { out += before + numberText(roundedUp(mdat)); });
            drop = 2;
        } else if (c1 == u'F') {
            step([&] { out += before + numberText(leadingNumber(mdat)); });
            drop = 2;
        } else if (c2 == u'D') {
            step([&] { out += before + rightAligned(numberText(roundedUp(mdat)), width, u' '); });
            drop = 3;
        } else if (c2 == u'F') {
            step([&] {
                out += before + rightAligned(numberText(leadingNumber(mdat)), width, u' ');
            });
            drop = 3;
        } else if (c2 == u'Z') {
            step([&] {
                out += before + rightAligned(numberText(leadingNumber(mdat)), width, u'0');
            });
            drop = 3;
        } else if (const qsizetype a = rest.indexOf(u'A', p + 1, Qt::CaseInsensitive); a >= 0) {
            const QString pattern = rest.mid(p + 1, a - p - 1);
            step([&] { out += before + formatNumber(leadingNumber(mdat), pattern); });
            rest = rest.mid(a + 1);
            continue;
        } else {
            out += before + u'%';
        }
        rest = rest.mid(p + drop);
    }
    return out;
}

QString CL_GL010C::RVN_CharChange(QString &buf, QString &schr, QString &dchr, Integer *linemode) {
    const Integer mode = linemode ? *linemode : Integer(0);
    switch (mode) {
    case 0: {
        QString out;
        for (QChar c : buf)
            out += sameChar(c, schr) ? dchr : QString(c);
        return out;
    }
    case 1:
        return replaceLeading(buf, schr, dchr);
    case 2:
        return replaceTrailing(buf, schr, dchr);
    case 3:
        return replaceTrailing(replaceLeading(buf, schr, dchr), schr, dchr);
    default:
        return QString();
    }
}

QString CL_GL010C::RVN_CharDoubleCheck(QString &buf, QString &schr, Integer &scnt, QString &dchr) {
    // A run of no characters would match everywhere without advancing.
    if (scnt <= 0 || schr.isEmpty())
        return buf;
    const QString pattern(scnt, schr[0]);
    QString out;
    const qsizetype length = buf.size();
    for (qsizetype i = 0; i < length;) {
        if (QStringView(buf).mid(i, scnt) == pattern) {
            out += dchr;
            i += scnt;
        } else {
            out += buf[i];
            ++i;
        }
    }
    return out;
}

Boolean CL_GL010C::RVN_CharLet(QString &buf, QString &hed, QString &dat) {
    const qsizetype p = buf.indexOf(u'=');
    if (p < 0)
        return False;
    QString space = QStringLiteral(" ");
    QString quote = QStringLiteral("\"");
    QString none;
    Integer bothEnds = 3;
    QString key = buf.left(p);
    QString value = buf.mid(p + 1);
    hed = RVN_CharChange(key, space, none, &bothEnds);
    value = RVN_CharChange(value, space, none, &bothEnds);
    dat = RVN_CharChange(value, quote, none, &bothEnds);
    return True;
}

QString CL_GL010C::RVN_CharCut(QString &buf, QString &charstr) {
    // An empty charstr is found at the start of any non-empty text.
    const qsizetype p = buf.isEmpty() ? -1 : buf.indexOf(charstr);
    return p >= 0 ? buf.left(p) : buf;
}

QString CL_GL010C::RVN_StrSubst(QString &buf, QString &sstr, QString &dstr) {
    if (sstr.isEmpty())
        return buf;
    if (buf.size() > StrSubstLongest)
        return {};
    if (dstr.contains(sstr)) {
        // Rescanning would find sstr again inside every replacement, for
        // ever: replace each occurrence in buf once instead.
        QString s;
        qsizetype from = 0;
        for (qsizetype p; (p = buf.indexOf(sstr, from)) >= 0; from = p + sstr.size()) {
            s += QStringView(buf).sliced(from, p - from);
            s += dstr;
            if (s.size() > StrSubstLongest)
                return {};
        }
        s += QStringView(buf).sliced(from);
        return s.size() > StrSubstLongest ? QString() : s;
    }
    // Replacing the first occurrence and searching again from the start,
    // done in one pass: `done` holds the text already known to be free of
    // sstr, `pending` the text still to read, reversed, so that a
    // replacement goes back on its front and is read again, together with
    // what precedes it. Each occurrence is found where it ends.
    const std::u16string_view target(reinterpret_cast<const char16_t *>(sstr.utf16()),
                                     static_cast<std::size_t>(sstr.size()));
    const std::size_t n = target.size();
    std::u16string done;
    std::u16string pending(reinterpret_cast<const char16_t *>(buf.utf16()),
                           static_cast<std::size_t>(buf.size()));
    std::reverse(pending.begin(), pending.end());
    const auto longest = static_cast<std::size_t>(StrSubstLongest);
    qint64 work = 0;
    while (!pending.empty()) {
        done.push_back(pending.back());
        pending.pop_back();
        work += static_cast<qint64>(n);
        if (work > StrSubstWork)
            return {};
        if (done.size() < n || done.back() != target.back() ||
            std::u16string_view(done).substr(done.size() - n) != target)
            continue;
        done.resize(done.size() - n);
        for (qsizetype i = dstr.size() - 1; i >= 0; --i)
            pending.push_back(dstr[i].unicode());
        if (done.size() + pending.size() > longest)
            return {};
    }
    return QString::fromUtf16(done.data(), static_cast<qsizetype>(done.size()));
}

Integer CL_GL010C::RVN_StrEnum(QString &dat, QString &chkstr, StringArray &ldat) {
    QString s = dat;
    Integer n = 0;
    while (!s.isEmpty()) {
        const qsizetype p = chkstr.isEmpty() ? 0 : s.indexOf(chkstr);
        QString item;
        if (p < 0) {
            item = s;
            s.clear();
        } else {
            item = s.left(p);
            // Only the separator's first character is consumed.
            s = s.mid(p + 1);
        }
        step([&] { n = toInteger(n + 1); });
        // Items past the array's end are counted but not stored.
        step([&] { ldat.at(n) = item; });
    }
    return n;
}

void CL_GL010C::RVN_ShellSort(StringArray &sList) {
    // Gaps 1, 4, 13, 40, ... counted from the first element, whatever the
    // array's lower bound, so the last pass always runs with gap 1.
    const long long count = static_cast<long long>(sList.items.size());
    auto &items = sList.items;
    long long h = 1;
    do {
        h = 3 * h + 1;
    } while (h <= count);
    do {
        h = std::llround(static_cast<double>(h) / 3.0);
        for (long long i = h; i < count; ++i) {
            QString v = items[static_cast<std::size_t>(i)];
            long long j = i;
            while (j - h >= 0 && items[static_cast<std::size_t>(j - h)] > v) {
                items[static_cast<std::size_t>(j)] = items[static_cast<std::size_t>(j - h)];
                j -= h;
            }
            items[static_cast<std::size_t>(j)] = v;
        }
    } while (h != 1);
}

QString CL_GL010C::RVN_EllipsisString(QString Source, Long &formhdc, Long WidthPerScreen,
                                      Long /*HeightPerScreen*/) {
    // Drawing needs a live window; without one the text comes back as given.
    QWidget *widget = widgetOf(formhdc);
    if (!widget)
        return Source;
    // The working copy ends at its first NUL, as the drawn text does.
    const qsizetype nul = Source.indexOf(QChar(u'\0'));
    const QString text = nul >= 0 ? Source.left(nul) : Source;
    return pathEllipsis(text, QFontMetrics(widget->font()), WidthPerScreen);
}

} // namespace tambolin
