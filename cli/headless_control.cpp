#include "cli/headless_control.h"

#include "cli/console.h"
#include "platform/runtime/message_box.h"

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
HeadlessControl::create(const char *command, const MidiChoices &choices, QString &problem) {
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

void HeadlessControl::start(const char *command, const MidiChoices &choices) {
    m_boxHook = std::make_unique<BoxesToStderr>(command, m_boxes);
    m_player = std::make_unique<Player>(choices);
}

HeadlessControl::~HeadlessControl() = default;

} // namespace tambolin::cli
