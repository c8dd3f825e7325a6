#include "host/control_loader.h"

#include "control/automation/class_entry.h"
#include "host/class_lookup.h"

#include <QFileInfo>
#include <QLibrary>
#include <QWidget>

#ifndef TAMBOLIN_BIN_TO_PRIVATE_LIBDIR
#define TAMBOLIN_BIN_TO_PRIVATE_LIBDIR "../lib/tamberlo"
#endif

namespace tambolin {

// Libraries are never unloaded: the controls they create live in the
// windows of this process until it ends.

ControlLoader::ControlLoader(QStringList shippedLibraries)
    : m_shipped(std::move(shippedLibraries)) {}

QStringList ControlLoader::librariesBeside(const QString &programDir) {
    const QString file = QStringLiteral("libTAMBOLIN.so");
    // The installed layout first: a build tree's lib/ beside an installed
    // bin/ (/usr/lib) is someone else's folder.
    return {programDir + QLatin1Char('/') + QStringLiteral(TAMBOLIN_BIN_TO_PRIVATE_LIBDIR) +
                QLatin1Char('/') + file,
            programDir + QStringLiteral("/../lib/") + file, programDir + '/' + file};
}

QWidget *ControlLoader::create(const QString &progId, QWidget *parent) {
    m_error.clear();
    bool libraryLoaded = false;
    if (QWidget *control = createRegistered(progId, parent, libraryLoaded))
        return control;
    // A library that loads but will not create the class is not ours to
    // replace; only a missing class or an unusable library is.
    if (libraryLoaded)
        return nullptr;
    const QString firstError = m_error;
    if (!registerShipped()) {
        m_error = firstError + QLatin1Char('\n') +
                  (m_error.isEmpty()
                       ? QStringLiteral("Register the player control with \"tambolin register\".")
                       : m_error);
        return nullptr;
    }
    m_error.clear();
    return createRegistered(progId, parent, libraryLoaded);
}

QWidget *ControlLoader::createRegistered(const QString &progId, QWidget *parent,
                                         bool &libraryLoaded) {
    libraryLoaded = false;
    RegisteredClass found;
    if (!findRegisteredClass(progId, found, m_error))
        return nullptr;
    QLibrary library(found.library);
    if (!library.load()) {
        m_error = QStringLiteral("The control library of \"%1\" cannot be loaded: %2")
                      .arg(progId, library.errorString());
        return nullptr;
    }
    const auto createControl =
        reinterpret_cast<TambolinCreateControl>(library.resolve(kCreateControlSymbol));
    if (!createControl) {
        m_error = QStringLiteral("%1 is not a control library: it has no %2.")
                      .arg(found.library, QLatin1String(kCreateControlSymbol));
        return nullptr;
    }
    libraryLoaded = true;
    QWidget *control = createControl(found.clsid.toLatin1().constData(), parent);
    if (control)
        m_loaded = library.fileName();
    else
        m_error = QStringLiteral("%1 does not create the class %2 of \"%3\".")
                      .arg(found.library, found.clsid, progId);
    return control;
}

bool ControlLoader::registerShipped() {
    for (const QString &candidate : m_shipped) {
        const QFileInfo info(candidate);
        if (!info.exists())
            continue;
        const QString path = info.canonicalFilePath();
        QLibrary library(path);
        if (!library.load()) {
            m_error = QStringLiteral("The control library %1 cannot be loaded: %2")
                          .arg(path, library.errorString());
            return false;
        }
        const auto registerServer =
            reinterpret_cast<TambolinRegisterServer>(library.resolve(kRegisterServerSymbol));
        if (!registerServer || registerServer() != S_OK) {
            m_error =
                QStringLiteral("The control library %1 could not register its classes.").arg(path);
            return false;
        }
        return true;
    }
    m_error.clear();
    return false;
}

} // namespace tambolin
