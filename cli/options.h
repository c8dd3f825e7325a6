#pragma once
// The arguments of one subcommand: exactly one FILE and `--name value`
// options (also written `--name=value`), each given at most once.

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tambolin::cli {

class Options final {
public:
    // Each entry lists the spellings of one option that takes a value; the
    // first spelling is the one to ask value() for. False, with a message,
    // for an unknown option, a missing value, a repeated option, or other
    // than one FILE.
    bool parse(const QStringList &args, const std::vector<QStringList> &known, QString &problem);

    const QString &file() const { return m_file; }
    std::optional<QString> value(const QString &name) const;

private:
    QString m_file;
    QHash<QString, QString> m_values;
};

// The value of option `name` as a whole number from low to high, or fallback
// when the option was not given. False, with a message, otherwise.
bool integerOption(const Options &options, const QString &name, long long low, long long high,
                   long long fallback, long long &out, QString &problem);

} // namespace tambolin::cli
