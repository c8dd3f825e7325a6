#pragma once
// The outside download library "binetx" and its function W3getv, loaded by
// name at the first download rather than when the player starts, so that a
// player without it still runs and only its URL loads fail.

#include "platform/runtime/basic_runtime.h"

#include <QLibrary>
#include <QString>
#include <mutex>

namespace tambolin {

class BinetxLibrary final {
public:
    // name: a bare library name ("binetx"), looked for next to the library
    // that holds the player first, then on the normal search path; or a path.
    explicit BinetxLibrary(QString name = QStringLiteral("binetx"));
    BinetxLibrary(const BinetxLibrary &) = delete;
    BinetxLibrary &operator=(const BinetxLibrary &) = delete;

    // Runs W3getv with command converted to the system's 8-bit encoding.
    // 1 when the download succeeded; 0 when it failed or the library or its
    // function cannot be found (tried again at the next call).
    Long W3getv(const QString &command, Long &reserved);

    // Where the library was found; empty before a successful load.
    QString loadedFrom() const;

private:
    using W3getvFunction = std::int32_t (*)(char *, std::int32_t *);
    W3getvFunction resolve();

    QString m_name;
    mutable std::mutex m_mutex;
    QLibrary m_library;
    W3getvFunction m_function = nullptr;
};

// The library in use in this process: the one named "binetx" unless a test
// installed another (nullptr restores it). The caller keeps ownership.
BinetxLibrary &currentBinetx();
void setCurrentBinetx(BinetxLibrary *library);

// The control's call: W3getv of the library in use.
Long W3getv(const QString &command, Long &reserved);

} // namespace tambolin
