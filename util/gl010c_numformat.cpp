#include "util/gl010c_numformat.h"

#include <QList>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tambolin {

namespace {

struct Token {
    enum Kind { Zero, Hash, Point, Comma, Percent, Literal } kind;
    QString text; // for Literal
};

// Splits a pattern into its sections at ";" outside quotes and escapes.
QStringList sections(const QString &pattern) {
    QStringList out(QString{});
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'"')
            quoted = !quoted;
        if (!quoted && c == u'\\' && i + 1 < pattern.size()) {
            out.last() += c;
            out.last() += pattern[++i];
            continue;
        }
        if (!quoted && c == u';') {
            out.append(QString{});
            continue;
        }
        out.last() += c;
    }
    return out;
}

QList<Token> tokenize(const QString &section) {
    QList<Token> tokens;
    bool seenPoint = false;
    auto literal = [&tokens](const QString &text) {
        if (!tokens.isEmpty() && tokens.last().kind == Token::Literal)
            tokens.last().text += text;
        else
            tokens.append(Token{Token::Literal, text});
    };
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == u'0') {
            tokens.append(Token{Token::Zero, {}});
        } else if (c == u'#') {
            tokens.append(Token{Token::Hash, {}});
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
            tokens.append(Token{Token::Point, {}});
        } else if (c == u',') {
            tokens.append(Token{Token::Comma, {}});
        } else if (c == u'%') {
            tokens.append(Token{Token::Percent, {}});
        } else if (c == u'\\' && i + 1 < section.size()) {
            literal(QString(section[++i]));
        } else if (c == u'"') {
            const qsizetype close = section.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? section.size() : close;
            literal(section.mid(i + 1, end - i - 1));
            i = end;
        } else {
            literal(QString(c));
        }
    }
    return tokens;
}

bool isDigitPlace(const Token &t) {
    return t.kind == Token::Zero || t.kind == Token::Hash;
}

// |value| rounded half away from zero to `decimals` places, as whole digits
// (no leading zeros, "" for zero) and exactly `decimals` fraction digits.
// Rounding works on the 15 significant digits a double reliably holds.
void roundedDigits(double value, int decimals, QString &whole, QString &fraction) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    QString mantissa;
    const char *p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            mantissa += QLatin1Char(*p);
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    // digits[k] has the weight 10^(pointPos - 1 - k).
    QString digits = mantissa;
    int pointPos = exponent + 1;
    if (pointPos < 0) {
        digits.prepend(QString(-pointPos, u'0'));
        pointPos = 0;
    }
    const int keep = pointPos + decimals;
    if (digits.size() < keep)
        digits += QString(keep - digits.size(), u'0');
    const bool roundUp = digits.size() > keep && digits[keep] >= u'5';
    digits.truncate(keep);
    if (roundUp) {
        int k = keep - 1;
        for (; k >= 0; --k) {
            if (digits[k] == u'9') {
                digits[k] = u'0';
            } else {
                digits[k] = QChar(digits[k].unicode() + 1);
                break;
            }
        }
        if (k < 0) {
            digits.prepend(u'1');
            ++pointPos;
        }
    }
    whole = digits.left(pointPos);
    fraction = digits.mid(pointPos);
    while (whole.startsWith(u'0'))
        whole.remove(0, 1);
}

QString grouped(const QString &digits) {
    QString out;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += u',';
        out += digits[i];
    }
    return out;
}

QString layOut(double value, const QList<Token> &tokens, bool writeSign) {
    qsizetype point = tokens.size();
    for (qsizetype i = 0; i < tokens.size(); ++i)
        if (tokens[i].kind == Token::Point)
            point = i;

    // Digit places, grouping, scaling and the shortest whole part.
    qsizetype firstPlace = -1, lastPlace = -1, firstZero = -1;
    int decimals = 0, percents = 0;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == Token::Percent)
            ++percents;
        if (!isDigitPlace(tokens[i]))
            continue;
        if (i > point) {
            ++decimals;
            continue;
        }
        if (firstPlace < 0)
            firstPlace = i;
        lastPlace = i;
        if (firstZero < 0 && tokens[i].kind == Token::Zero)
            firstZero = i;
    }
    bool grouping = false;
    int scaling = 0;
    for (qsizetype i = 0; i < point; ++i) {
        if (tokens[i].kind != Token::Comma || firstPlace < 0 || i < firstPlace)
            continue;
        if (i < lastPlace)
            grouping = true;
        else
            ++scaling;
    }
    int minimal = 0;
    if (firstZero >= 0)
        for (qsizetype i = firstZero; i < point; ++i)
            minimal += isDigitPlace(tokens[i]) ? 1 : 0;

    double scaled = value * std::pow(100.0, percents) / std::pow(1000.0, scaling);
    QString whole, fraction;
    roundedDigits(scaled, decimals, whole, fraction);
    // A value that rounds to zero is written without its sign.
    const bool negative =
        scaled < 0 && (!whole.isEmpty() || fraction.count(u'0') != fraction.size());
    if (whole.size() < minimal)
        whole.prepend(QString(minimal - whole.size(), u'0'));

    // Trailing "#" places drop trailing zeros of the fraction.
    qsizetype shown = fraction.size();
    for (qsizetype i = tokens.size() - 1; i > point && shown > 0; --i) {
        if (!isDigitPlace(tokens[i]))
            continue;
        if (tokens[i].kind == Token::Hash && fraction[shown - 1] == u'0')
            --shown;
        else
            break;
    }

    QString out;
    if (negative && writeSign)
        out += u'-';
    if (grouping) {
        for (qsizetype i = 0; i < point; ++i) {
            if (i == firstPlace)
                out += grouped(whole);
            else if (tokens[i].kind == Token::Comma && i < firstPlace)
                out += u',';
            else if (tokens[i].kind == Token::Literal)
                out += tokens[i].text;
            else if (tokens[i].kind == Token::Percent)
                out += u'%';
        }
    } else {
        // Fill the whole part's places from the right; the leftmost place
        // takes every digit that is left over.
        QString reversed;
        qsizetype next = whole.size() - 1;
        for (qsizetype i = point - 1; i >= 0; --i) {
            const Token &t = tokens[i];
            if (t.kind == Token::Literal) {
                for (qsizetype k = t.text.size() - 1; k >= 0; --k)
                    reversed += t.text[k];
            } else if (t.kind == Token::Percent) {
                reversed += u'%';
            } else if (t.kind == Token::Comma && (firstPlace < 0 || i < firstPlace)) {
                reversed += u',';
            } else if (isDigitPlace(t)) {
                if (i == firstPlace) {
                    for (; next >= 0; --next)
                        reversed += whole[next];
                } else if (next >= 0) {
                    reversed += whole[next--];
                }
            }
        }
        std::reverse(reversed.begin(), reversed.end());
        out += reversed;
    }
    qsizetype taken = 0;
    for (qsizetype i = point; i < tokens.size(); ++i) {
        const Token &t = tokens[i];
        if (t.kind == Token::Point)
            out += u'.';
        else if (t.kind == Token::Literal)
            out += t.text;
        else if (t.kind == Token::Percent)
            out += u'%';
        else if (t.kind == Token::Comma)
            out += u',';
        else if (isDigitPlace(t) && taken < shown)
            out += fraction[taken++];
    }
    return out;
}

} // namespace

QString numberText(double value) {
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    QString text = QString::fromLatin1(buf);
    if (text.startsWith(QStringLiteral("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QStringLiteral("-0.")))
        text.remove(1, 1);
    return text;
}

QString formatNumber(double value, const QString &pattern) {
    if (pattern.isEmpty()) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15G", value == 0 ? 0.0 : value);
        return QString::fromLatin1(buf);
    }
    const QStringList parts = sections(pattern);
    if (value < 0 && parts.size() > 1 && !parts[1].isEmpty())
        return layOut(-value, tokenize(parts[1]), false);
    if (value == 0 && parts.size() > 2 && !parts[2].isEmpty())
        return layOut(value, tokenize(parts[2]), false);
    return layOut(value, tokenize(parts[0]), true);
}

} // namespace tambolin
