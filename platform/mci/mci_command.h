#pragma once
// Splits a command string into words: blanks separate them, double quotes
// keep blanks inside one word ("open \"my song.mid\" alias s").

#include "platform/mci/mci_errors.h"

#include <QString>
#include <QStringList>

namespace tambolin {

// 0 with words filled, or MCIERR_NO_CLOSING_QUOTE.
MCIERROR splitMciCommand(const QString &command, QStringList &words);

} // namespace tambolin
