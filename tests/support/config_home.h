#pragma once
// An empty configuration folder of the test's own, in place of the user's:
// XDG_CONFIG_HOME points at it while the object lives, and is put back after.

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

namespace tambolin::testing {

class ConfigHome final {
public:
    ConfigHome()
        : m_hadValue(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")),
          m_saved(qgetenv("XDG_CONFIG_HOME")) {
        if (m_dir.isValid())
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    }
    ~ConfigHome() {
        if (m_hadValue)
            qputenv("XDG_CONFIG_HOME", m_saved);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    ConfigHome(const ConfigHome &) = delete;
    ConfigHome &operator=(const ConfigHome &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    bool m_hadValue;
    QByteArray m_saved;
};

} // namespace tambolin::testing
