#pragma once
// Number to text, the two ways the utility class's formatter writes numbers.

#include <QString>

namespace tambolin {

// Plain decimal with "." as point, up to 15 significant digits, no leading
// zero before the point (.5, -.25); exponent form (1E+20, 1E-05) for very
// large or very small magnitudes.
QString numberText(double value);

// value laid out by a numeric format pattern: "0" and "#" digit places, "."
// decimal point, "," thousands grouping between digit places (or, right of
// the last one, a division by 1000), "%" (times 100), literal text, "\x" and
// "quoted" literals, and up to three sections "positive;negative;zero".
// Halves are rounded away from zero. An empty pattern writes the number
// plainly, with its leading zero.
QString formatNumber(double value, const QString &pattern);

} // namespace tambolin
