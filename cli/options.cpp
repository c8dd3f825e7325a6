#include "cli/options.h"

namespace tambolin::cli {

bool Options::parse(const QStringList &args, const std::vector<QStringList> &known,
                    QString &problem) {
    m_file.clear();
    m_values.clear();
    bool haveFile = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (!a.startsWith(u'-') || a == u"-") {
            if (haveFile) {
                problem = QStringLiteral("unexpected argument '%1': give one FILE").arg(a);
                return false;
            }
            m_file = a;
            haveFile = true;
            continue;
        }
        const qsizetype eq = a.indexOf(u'=');
        const QString spelling = eq < 0 ? a : a.left(eq);
        const QStringList *option = nullptr;
        for (const QStringList &names : known)
            if (names.contains(spelling))
                option = &names;
        if (!option) {
            problem = QStringLiteral("unknown option '%1'").arg(spelling);
            return false;
        }
        const QString &key = option->first();
        if (m_values.contains(key)) {
            problem = QStringLiteral("option '%1' given twice").arg(key);
            return false;
        }
        if (eq >= 0) {
            m_values.insert(key, a.mid(eq + 1));
        } else if (i + 1 < args.size()) {
            m_values.insert(key, args[++i]);
        } else {
            problem = QStringLiteral("option '%1' needs a value").arg(spelling);
            return false;
        }
    }
    if (!haveFile) {
        problem = QStringLiteral("no FILE given");
        return false;
    }
    return true;
}

std::optional<QString> Options::value(const QString &name) const {
    const auto found = m_values.constFind(name);
    if (found == m_values.constEnd())
        return std::nullopt;
    return *found;
}

bool integerOption(const Options &options, const QString &name, long long low, long long high,
                   long long fallback, long long &out, QString &problem) {
    const std::optional<QString> text = options.value(name);
    if (!text) {
        out = fallback;
        return true;
    }
    bool ok = false;
    const long long value = text->toLongLong(&ok);
    if (!ok || value < low || value > high) {
        problem = QStringLiteral("%1 takes a whole number from %2 to %3, not '%4'")
                      .arg(name, QString::number(low), QString::number(high), *text);
        return false;
    }
    out = value;
    return true;
}

} // namespace tambolin::cli
