// `tambolin register`: records the player control's class in the registry, so
// that windows such as TBO can create it by its name.

#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "control/automation/class_entry.h"
#include "control/automation/class_registration.h"

#include <cstdio>

namespace tambolin::cli {

namespace {

int runRegister(const QStringList &args) {
    Options options;
    QString problem;
    if (!options.read(args, {}, problem))
        return refuseArguments("register", options, problem);
    if (!options.files().isEmpty()) {
        complain("register", QStringLiteral("unexpected argument '") + options.file() + u'\'');
        return 2;
    }
    const QString library = thisLibraryPath();
    if (registerControlClasses(library) != S_OK) {
        std::fprintf(stderr, "tambolin register: the registry could not be written\n");
        return 1;
    }
    std::printf("%s %s registered: %s\n", kPlayctrlProgId, kPlayctrlClsid,
                library.toLocal8Bit().constData());
    return 0;
}

const RegisterCommand registration(Command{
    "register",
    "register the player control for the windows that embed it",
    "usage: tambolin register\n"
    "\n"
    "Records the player control's class TAMBOLIN.PLAYCTRL in the registry with\n"
    "the path of the control library this tool uses, so that TBO and other\n"
    "windows create the control by its name. Run it again after moving the\n"
    "library.\n",
    runRegister,
});

} // namespace

} // namespace tambolin::cli
