#pragma once
// A W3getv call on a worker thread while the caller's event loop keeps
// running, so a slow server neither freezes the window nor stops its timers.
// The caller still waits for the result: run() returns when the download has
// ended, or when it was abandoned (cancel(), or the event loop told to quit).

#include "platform/runtime/basic_runtime.h"

#include <QString>
#include <memory>

namespace tambolin {

class BinetxLibrary;

class BinetxDownload final {
public:
    explicit BinetxDownload(QString command);
    // Cancels a download still running; its thread ends on its own and
    // touches nothing of the caller's.
    ~BinetxDownload();
    BinetxDownload(const BinetxDownload &) = delete;
    BinetxDownload &operator=(const BinetxDownload &) = delete;

    // Starts the download with the library in use and runs the event loop
    // until it ends. W3getv's result (1 = downloaded), or 0 when abandoned.
    Long run();

    // Whether run() came back without the download having ended.
    bool abandoned() const { return m_abandoned; }

    struct State; // shared with the worker thread

    // Cancels the download and makes run() return. Safe to keep after the
    // BinetxDownload is gone, and to call from anywhere on its thread.
    class Canceller {
    public:
        void cancel() const;

    private:
        friend class BinetxDownload;
        std::shared_ptr<State> m_state;
    };
    Canceller canceller() const;

private:
    std::shared_ptr<State> m_state;
    bool m_abandoned = false;
};

} // namespace tambolin
