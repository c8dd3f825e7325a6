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
    // function cannot be found (tried again at the next call). Safe to call
    // from any thread, also while another call runs. With cancel, and a
    // library that can be cancelled (canCancel()), another thread stops the
    // download by storing a non-zero value there atomically.
    Long W3getv(const QString &command, Long &reserved, std::int32_t *cancel = nullptr);

    // Whether the library found offers cancelling; false before it is loaded.
    bool canCancel() const;

    // Where the library was found; empty before a successful load.
    QString loadedFrom() const;

private:
    using W3getvFunction = std::int32_t (*)(char *, std::int32_t *);
    using CancellableFunction = std::int32_t (*)(char *, std::int32_t *, std::int32_t *);
    struct Functions {
        W3getvFunction plain = nullptr;
        CancellableFunction cancellable = nullptr;
    };
    Functions resolve();

    QString m_name;
    mutable std::mutex m_mutex;
    QLibrary m_library;
    Functions m_functions;
};

// The library in use in this process: the one named "binetx" unless a test
// installed another (nullptr restores it). The caller keeps ownership.
BinetxLibrary &currentBinetx();
void setCurrentBinetx(BinetxLibrary *library);

// The control's call: W3getv of the library in use.
Long W3getv(const QString &command, Long &reserved, std::int32_t *cancel = nullptr);

// The user's own download folder inside tempFolder, "tamberlo-<uid>", made on
// demand with mode 0700. Empty (nothing downloads) when it cannot be made or
// is not a folder of this user's that only this user can reach: another
// user could otherwise plant or replace files there. The result ends in "/".
QString privateDownloadFolder(const QString &tempFolder);

} // namespace tambolin
