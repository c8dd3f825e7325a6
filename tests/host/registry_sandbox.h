#pragma once
// Points the registry at a private configuration folder for one test, so
// class registrations never reach the user's own.

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

namespace tambolin::testing {

class RegistrySandbox final {
public:
    RegistrySandbox() : m_had(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
        m_saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    }
    ~RegistrySandbox() {
        if (m_had)
            qputenv("XDG_CONFIG_HOME", m_saved);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    RegistrySandbox(const RegistrySandbox &) = delete;
    RegistrySandbox &operator=(const RegistrySandbox &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    bool m_had;
    QByteArray m_saved;
};

} // namespace tambolin::testing
