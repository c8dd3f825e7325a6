// The multimedia command-string helper of CL_GL010C.

#include "util/cl_gl010c.h"

#include "platform/mci/mci.h"

#include <QByteArray>

#include <array>
#include <cstring>

namespace tambolin {

QString CL_GL010C::RVN_MCISendString(QString &cmdstr) {
    std::array<char, 256> reply{};
    const QByteArray command = cmdstr.toUtf8();
    if (mciSendStringA(command.constData(), reply.data(), 255, 0) != 0)
        return QString();
    return QString::fromUtf8(reply.data(), static_cast<qsizetype>(strnlen(reply.data(), 255)));
}

} // namespace tambolin
