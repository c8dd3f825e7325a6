#pragma once
// Small helpers for tests that work with real files in a private folder.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <initializer_list>

namespace tambolin::testing {

inline QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

inline bool writeFile(const QString &path, const QByteArray &content) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(content) == content.size();
}

inline QByteArray readFile(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// A private folder that is removed with everything in it.
class TempFolder {
public:
    QString path(const QString &name = {}) const {
        return name.isEmpty() ? m_dir.path() : m_dir.path() + u'/' + name;
    }
    bool isValid() const { return m_dir.isValid(); }

private:
    QTemporaryDir m_dir;
};

} // namespace tambolin::testing
