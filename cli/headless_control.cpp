#include "cli/headless_control.h"
#include "control/module_utility.h"

#include "cli/console.h"
#include "cli/melody_ends.h"
#include "control/playctrl.h"
#include "melody/mod_tambolin.h"
#include "platform/registry/registry.h"
#include "platform/runtime/message_box.h"
#include "util/cl_gl010c.h"

#include <QFile>

namespace tambolin::cli {

HeadlessControl::ScratchSettings::ScratchSettings() {
    m_hadOld = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    m_old = qgetenv("XDG_CONFIG_HOME");
    if (m_dir.isValid())
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
}

HeadlessControl::ScratchSettings::~ScratchSettings() {
    if (m_hadOld)
        qputenv("XDG_CONFIG_HOME", m_old);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

class HeadlessControl::BoxesToStderr final {
public:
    BoxesToStderr(const char *command, std::shared_ptr<int> count) {
        m_previous = setMessageBoxHook([command, count](const MessageBoxCall &call) {
            ++*count;
            complain(command, call.prompt);
            return vbOK;
        });
    }
    ~BoxesToStderr() { setMessageBoxHook(m_previous); }
    BoxesToStderr(const BoxesToStderr &) = delete;
    BoxesToStderr &operator=(const BoxesToStderr &) = delete;

private:
    MessageBoxHook m_previous;
};

std::unique_ptr<HeadlessControl>
HeadlessControl::create(const char *command, std::optional<MidiChoices> choices, QString &problem) {
    std::unique_ptr<HeadlessControl> made(new HeadlessControl);
    if (!made->m_settings.isValid()) {
        // Never fall back to the user's own settings.
        problem = QStringLiteral("cannot make a private settings folder: %1")
                      .arg(made->m_settings.errorString());
        return nullptr;
    }
    made->start(command, choices);
    return made;
}

void HeadlessControl::start(const char *command, std::optional<MidiChoices> choices) {
    m_boxHook = std::make_unique<BoxesToStderr>(command, m_boxes);
    if (choices) {
        // Stored as the control stores them, so its own start-up opens the
        // device and sends the program change.
        CL_GL010C &gl = gl010c();
        Long root = HKEY_LOCAL_MACHINE;
        QString key = QStringLiteral("SOFTWARE\\Tamberlo Player");
        QString port = QStringLiteral("midiport");
        QString portText = QString::number(choices->port);
        QString source = QStringLiteral("midisource");
        QString sourceText = QString::number(choices->source);
        gl.RVN_RegSet(root, key, port, portText);
        gl.RVN_RegSet(root, key, source, sourceText);
    }
    m_control = std::make_unique<PLAYCTRL>();
    m_ends = std::make_unique<MelodyEnds>(*m_control);
}

HeadlessControl::~HeadlessControl() = default;

void HeadlessControl::load(const QString &path) {
    m_control->loadMelody(path);
}

void HeadlessControl::play() {
    m_control->Command1_Click(1);
}

void HeadlessControl::stop() {
    m_ends->ignoreFromNowOn();
    m_control->Command1_Click(2);
}

int HeadlessControl::melodyEnds() const {
    return m_ends->count();
}

} // namespace tambolin::cli
