#pragma once
// A virtual run's outcome as bytes, for handing it from the process that ran
// the player to the one that goes on with its messages.

#include "cli/virtual_run.h"

#include <QByteArray>
#include <QString>

namespace tambolin::cli {

struct RunOutcome {
    bool ok = false;         // what runVirtual returned
    QString problem;         // its message when not ok
    VirtualRunResult result; // what it gave when ok
};

QByteArray encodeRunOutcome(const RunOutcome &outcome);

// False (outcome untouched) unless bytes hold exactly one whole outcome.
bool decodeRunOutcome(const QByteArray &bytes, RunOutcome &outcome);

} // namespace tambolin::cli
