#pragma once
// Text out of the tool: UTF-8 on standard output and standard error.

#include <QString>

namespace tambolin::cli {

void printOut(const QString &text);
void printErr(const QString &text);

// "tambolin NAME: message" on standard error, with a newline; control
// characters in the message are escaped (it may quote file names and titles).
void complain(const char *command, const QString &message);

} // namespace tambolin::cli
