#pragma once
// Creates a control by its program identifier: looks the class up in the
// registry, loads the library that holds it and asks the library for an
// instance. When the class is missing, or its registered library cannot be
// loaded (moved, deleted), a library shipped with the program registers
// itself first, so a fresh install starts without a separate step.

#include <QString>
#include <QStringList>

class QWidget;

namespace tambolin {

class ControlLoader final {
public:
    // shippedLibraries: control libraries that may register themselves, in
    // order of preference; the first one that exists is used.
    explicit ControlLoader(QStringList shippedLibraries = {});

    // A new instance as a child of parent, or null; errorString() says why.
    QWidget *create(const QString &progId, QWidget *parent);
    QString errorString() const { return m_error; }
    // The library the last control came from; empty before one was created.
    QString loadedLibrary() const { return m_loaded; }

    // The control libraries shipped beside the program at programDir: the
    // build tree and installed layouts.
    static QStringList librariesBeside(const QString &programDir);

private:
    QWidget *createRegistered(const QString &progId, QWidget *parent, bool &libraryLoaded);
    bool registerShipped();

    QStringList m_shipped;
    QString m_error;
    QString m_loaded;
};

} // namespace tambolin
