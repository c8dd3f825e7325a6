// `tambolin call`: one member of the utility class, called through its
// dispatch table with arguments converted by their declared types.

#include "cli/call_arguments.h"
#include "cli/call_prompts.h"
#include "cli/command.h"
#include "cli/console.h"

#include <cstdio>

namespace tambolin::cli {

namespace {

const char usage[] = R"(Usage: tambolin call METHOD [ARG ...]
       tambolin call --list
       tambolin call -- METHOD [ARG ...]

Calls METHOD of the utility class CL_GL010C and prints, on one line,
  {"result": R, "args": [A1, A2, ...]}
with the method's result and every argument's value after the call
(by-reference arguments as the method left them).

METHOD is a member name, in any case (RVN_TimeCheck), or "#" and its
identifier in slot order (#59). --list shows the members available.

Arguments, converted by each parameter's declared type:
  String          the text as given
  Long, Integer   a decimal whole number in range (32-bit, 16-bit)
  Boolean         true, false, -1 or 0
  Double          a number, "." as decimal point
  Date            an ISO date-time (2000-03-10T12:00:00[.000]) or a day count
                  (day 0 = 1899-12-30, the time of day as fraction)
  Variant         a JSON value (2, 2.5, "text", true, null); a text that is not
                  JSON is taken as a string
  arrays          a JSON array, lower bound 0: '["b","a"]'; for another lower
                  bound an object: '{"base": 1, "items": ["b","a"]}'
  Object          a form, picture box or other window by its handle number;
                  handles name windows of the calling process only, so from
                  the command line pass 0 (no object)
Trailing optional arguments may be left off; --omit in its place leaves out
an optional argument before others.

Windows. Members that show dialogs or work on windows start the window
system, on the offscreen platform when there is no display; the others run
without it.

Dialogs. Without a display (the offscreen or minimal platform) no dialog is
shown: the file and folder choosers answer as if cancelled (""), the about
box closes at once, the shut-down and restart prompts are declined, the
open-with chooser starts nothing and the properties sheet gives 31. With
TAMBOLIN_DIALOG_ANSWER set, the file and folder choosers are never shown and
answer its value instead, on any platform: the chosen path, or "" (cancel)
when it is empty, when an open dialog's file does not exist, or when a
folder answer is no folder.

Output values: strings as JSON strings (NUL and control characters escaped),
Long, Integer and Double as numbers, Boolean as true/false, Date as an ISO
text, arrays as given above (the object form when the lower bound is not 0),
an omitted argument, and the result of a member without one, as null.

Exit status: 0 when the method was called; 2 for an unknown method, a wrong
number of arguments or an argument that cannot be converted (the reason on
standard error).
)";

// Only members that show dialogs or work on windows start the window
// system; the others run as plain console calls.
bool needsWindows(const QStringList &given) {
    const QStringList args = !given.isEmpty() && given.first() == u"--" ? given.mid(1) : given;
    QString unused;
    const MemberEntry *member = args.isEmpty() ? nullptr : findMember(args.first(), &unused);
    return member && member->windowed;
}

int run(const QStringList &given) {
    // Options come before METHOD only: what follows it is the method's own
    // arguments, whatever they look like (-1, --omit).
    QStringList args = given;
    const bool optionsEnded = !args.isEmpty() && args.first() == u"--";
    if (optionsEnded)
        args.removeFirst();
    if (args.isEmpty()) {
        std::fputs(usage, stderr);
        return 2;
    }
    const QString &first = args.first();
    if (!optionsEnded && (first == u"--help" || first == u"-h")) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (!optionsEnded && first == u"--list") {
        for (const QString &line : memberSignatures())
            std::fputs((line + u'\n').toUtf8().constData(), stdout);
        return 0;
    }
    if (!optionsEnded && first.startsWith(u'-') && first != u"-") {
        complain("call", QStringLiteral("unknown option ") + first.section(u'=', 0, 0));
        return 2;
    }
    const CallPrompts prompts;
    const CallOutcome outcome = callFromText(args.first(), args.mid(1));
    if (outcome.status != 0) {
        std::fputs(("tambolin call: " + outcome.error + u'\n').toUtf8().constData(), stderr);
        return outcome.status;
    }
    std::fputs((outcome.json + u'\n').toUtf8().constData(), stdout);
    return 0;
}

const RegisterCommand registration({"call", "call a method of the utility class, print JSON", usage,
                                    run, needsWindows});

} // namespace

} // namespace tambolin::cli
