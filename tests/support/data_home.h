#pragma once
// The desktop's data folder (recent files) of the test's own: XDG_DATA_HOME
// points at an empty temporary folder while the object lives.

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

namespace tambolin::testing {

class DataHome final {
public:
    DataHome() : m_saved(qgetenv("XDG_DATA_HOME")) {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path()));
    }
    ~DataHome() { qputenv("XDG_DATA_HOME", m_saved); }
    DataHome(const DataHome &) = delete;
    DataHome &operator=(const DataHome &) = delete;

private:
    QTemporaryDir m_dir;
    QByteArray m_saved;
};

} // namespace tambolin::testing
