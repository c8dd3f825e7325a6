#pragma once
// The arguments of one subcommand: FILE arguments and options, `--name value`
// (also `--name=value`) or flags, each given at most once. `--help`/`-h`
// asks for the usage, `--` ends the options, and `-` is a FILE (standard
// input or output).

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tambolin::cli {

struct KnownOption {
    QStringList names;      // the spellings; the first is the one to ask for
    bool takesValue = true; // false: a flag
};

class Options final {
public:
    // Any number of FILEs. False, with a message, for an unknown option, a
    // missing value or a repeated option; false with helpAsked() when the
    // usage was asked for (no message).
    bool read(const QStringList &args, const std::vector<KnownOption> &known, QString &problem);

    // read() with options that all take a value, and exactly one FILE.
    bool parse(const QStringList &args, const std::vector<QStringList> &known, QString &problem);

    bool helpAsked() const { return m_help; }
    // The problem was an option this command does not know.
    bool unknownOption() const { return m_unknown; }
    const QStringList &files() const { return m_files; }
    QString file() const { return m_files.value(0); }
    std::optional<QString> value(const QString &name) const;
    bool flag(const QString &name) const { return m_flags.contains(name); }

private:
    QStringList m_files;
    QHash<QString, QString> m_values;
    QSet<QString> m_flags;
    bool m_help = false;
    bool m_unknown = false;
};

// The value of option `name` as a whole number from low to high, or fallback
// when the option was not given. False, with a message, otherwise.
bool integerOption(const Options &options, const QString &name, long long low, long long high,
                   long long fallback, long long &out, QString &problem);

} // namespace tambolin::cli
