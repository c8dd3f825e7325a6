#include "cli/options.h"

namespace tambolin::cli {

namespace {

bool isOption(const QString &a) {
    return a.startsWith(u'-') && a != u"-";
}

} // namespace

bool Options::read(const QStringList &args, const std::vector<KnownOption> &known,
                   QString &problem) {
    m_files.clear();
    m_values.clear();
    m_flags.clear();
    m_help = false;
    m_unknown = false;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (optionsEnded || !isOption(a)) {
            m_files += a;
            continue;
        }
        if (a == u"--") {
            optionsEnded = true;
            continue;
        }
        if (a == u"--help" || a == u"-h") {
            m_help = true;
            return false;
        }
        const qsizetype eq = a.startsWith(u"--") ? a.indexOf(u'=') : -1;
        const QString spelling = eq < 0 ? a : a.left(eq);
        const KnownOption *option = nullptr;
        for (const KnownOption &candidate : known)
            if (candidate.names.contains(spelling))
                option = &candidate;
        if (!option) {
            problem = QStringLiteral("unknown option ") + spelling;
            m_unknown = true;
            return false;
        }
        const QString &key = option->names.first();
        if (m_values.contains(key) || m_flags.contains(key)) {
            problem = QStringLiteral("option '") + key + QStringLiteral("' given twice");
            return false;
        }
        if (!option->takesValue) {
            if (eq >= 0) {
                problem =
                    QStringLiteral("option '") + spelling + QStringLiteral("' takes no value");
                return false;
            }
            m_flags.insert(key);
        } else if (eq >= 0) {
            m_values.insert(key, a.mid(eq + 1));
        } else if (i + 1 < args.size()) {
            m_values.insert(key, args[++i]);
        } else {
            problem = QStringLiteral("option '") + spelling + QStringLiteral("' needs a value");
            return false;
        }
    }
    return true;
}

bool Options::parse(const QStringList &args, const std::vector<QStringList> &known,
                    QString &problem) {
    std::vector<KnownOption> options;
    options.reserve(known.size());
    for (const QStringList &names : known)
        options.push_back({names, true});
    if (!read(args, options, problem))
        return false;
    if (m_files.size() > 1) {
        problem = QStringLiteral("unexpected argument '") + m_files[1] +
                  QStringLiteral("': give one FILE");
        return false;
    }
    if (m_files.isEmpty()) {
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
