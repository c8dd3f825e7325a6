#include "control/design_font.h"

#include <QStringList>

namespace tambolin {

QFont designFont(int pointSize, bool bold) {
    static const bool substituted = [] {
        QFont::insertSubstitutions(
            QStringLiteral("ＭＳ Ｐゴシック"),
            QStringList{QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック")});
        return true;
    }();
    (void)substituted;
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace tambolin
