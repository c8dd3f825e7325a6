#pragma once
// One open device of the command-string interface: a clip that plays
// between two positions in milliseconds, pauses, stops and tells where it is.

#include "platform/mci/mci_errors.h"

#include <QString>
#include <cstdint>

namespace tambolin {

class MciDevice {
public:
    enum class Mode { Stopped, Playing, Paused };

    virtual ~MciDevice() = default;
    virtual QString type() const = 0; // "sequencer", "waveaudio"
    virtual std::int64_t lengthMs() const = 0;
    virtual std::int64_t positionMs() const = 0;
    virtual Mode mode() const = 0;
    // Plays from..to (to within the length); 0 when it started.
    virtual MCIERROR play(std::int64_t fromMs, std::int64_t toMs) = 0;
    // Both keep the position; a paused device resumes where it was.
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual MCIERROR resume() = 0;
    // Stops and moves to ms.
    virtual void seek(std::int64_t ms) = 0;
    // Does what is due by now: sends what has come due, notices the end.
    virtual void pump() = 0;
    // A status item of this kind of device only ("channels"...); empty when unknown.
    virtual QString statusItem(const QString &) const { return {}; }
};

} // namespace tambolin
