#include "util/gl010c_val.h"

#include "platform/runtime/basic_runtime.h"

#include <QLocale>
#include <cmath>

namespace tambolin {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

double leadingNumber(const QString &text) {
    QString compact;
    compact.reserve(text.size());
    for (QChar c : text)
        if (!isBlank(c))
            compact.append(c);

    qsizetype i = 0;
    const qsizetype n = compact.size();
    QString number;
    if (i < n && (compact[i] == u'+' || compact[i] == u'-'))
        number.append(compact[i++]);
    bool digits = false;
    while (i < n && isDigit(compact[i])) {
        number.append(compact[i++]);
        digits = true;
    }
    if (i < n && compact[i] == u'.') {
        number.append(compact[i++]);
        while (i < n && isDigit(compact[i])) {
            number.append(compact[i++]);
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i < n && (compact[i].toUpper() == u'E' || compact[i].toUpper() == u'D')) {
        qsizetype j = i + 1;
        QString exponent = QStringLiteral("e");
        if (j < n && (compact[j] == u'+' || compact[j] == u'-'))
            exponent.append(compact[j++]);
        bool expDigits = false;
        while (j < n && isDigit(compact[j])) {
            exponent.append(compact[j++]);
            expDigits = true;
        }
        if (expDigits)
            number.append(exponent);
    }
    if (number.endsWith(u'.'))
        number.append(u'0');
    if (number.startsWith(u'.') || number.startsWith(QStringLiteral("-.")) ||
        number.startsWith(QStringLiteral("+.")))
        number.insert(number.indexOf(u'.'), u'0');
    bool ok = false;
    const double value = QLocale::c().toDouble(number, &ok);
    if (!ok || !std::isfinite(value))
        failStep();
    return value;
}

} // namespace tambolin
