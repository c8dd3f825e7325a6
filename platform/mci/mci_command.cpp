#include "platform/mci/mci_command.h"

namespace tambolin {

MCIERROR splitMciCommand(const QString &command, QStringList &words) {
    words.clear();
    qsizetype i = 0;
    const qsizetype n = command.size();
    while (i < n) {
        while (i < n && command[i].isSpace())
            ++i;
        if (i >= n)
            break;
        QString word;
        if (command[i] == u'"') {
            const qsizetype close = command.indexOf(u'"', i + 1);
            if (close < 0)
                return MCIERR_NO_CLOSING_QUOTE;
            word = command.mid(i + 1, close - i - 1);
            i = close + 1;
        } else {
            while (i < n && !command[i].isSpace())
                word += command[i++];
        }
        words << word;
    }
    return 0;
}

} // namespace tambolin
