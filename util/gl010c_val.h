#pragma once
// Reading numbers out of free text the way the utility class does it.

#include <QString>

namespace tambolin {

// The leading number of text: blanks (space, tab, line breaks) are skipped
// wherever they stand, then an optional sign, digits with "." as decimal
// point and an optional exponent (E or D). Reading stops at the first other
// character; 0 when no digit was read. A number too large for a double fails
// the statement.
double leadingNumber(const QString &text);

} // namespace tambolin
