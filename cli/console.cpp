#include "cli/console.h"
#include "cli/status_line.h"
#include "cli/terminal_text.h"

#include <cstdio>

namespace tambolin::cli {

namespace {

void write(std::FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

void printOut(const QString &text) {
    write(stdout, text);
}
void printErr(const QString &text) {
    clearErrorStatusLine();
    write(stderr, text);
}

void complain(const char *command, const QString &message) {
    printErr(QStringLiteral("tambolin %1: %2\n")
                 .arg(QString::fromLatin1(command), terminalText(message)));
}

} // namespace tambolin::cli
