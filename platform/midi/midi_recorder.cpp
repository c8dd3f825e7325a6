#include "platform/midi/midi_recorder.h"

#include <algorithm>
#include <mutex>

namespace tambolin {

struct MidiRecorder::Log {
    mutable std::mutex mutex;
    std::vector<std::string> names;
    std::vector<RecordedMidiMessage> messages;
};

namespace {

class RecorderPort final : public MidiPort {
public:
    RecorderPort(std::shared_ptr<MidiRecorder::Log> log, std::string name)
        : m_log(std::move(log)), m_name(std::move(name)) {}

    MMRESULT shortMsg(DWORD word) override { return record(word, std::nullopt); }
    MMRESULT shortMsgAt(DWORD word, std::int64_t dueMs) override { return record(word, dueMs); }
    MMRESULT reset() override { return MMSYSERR_NOERROR; }

private:
    MMRESULT record(DWORD word, std::optional<std::int64_t> dueMs) {
        RecordedMidiMessage message{currentClock().localTime(), word, m_name, dueMs};
        std::lock_guard lock(m_log->mutex);
        m_log->messages.push_back(std::move(message));
        return MMSYSERR_NOERROR;
    }

    std::shared_ptr<MidiRecorder::Log> m_log;
    std::string m_name;
};

} // namespace

MidiRecorder::MidiRecorder(std::vector<std::string> deviceNames) : m_log(std::make_shared<Log>()) {
    m_log->names = std::move(deviceNames);
}

void MidiRecorder::setDeviceNames(std::vector<std::string> deviceNames) {
    std::lock_guard lock(m_log->mutex);
    m_log->names = std::move(deviceNames);
}

std::vector<MidiDeviceInfo> MidiRecorder::devices() {
    std::lock_guard lock(m_log->mutex);
    std::vector<MidiDeviceInfo> list;
    for (const std::string &name : m_log->names)
        list.push_back({name, MOD_MIDIPORT});
    return list;
}

MMRESULT MidiRecorder::open(const std::string &name, std::unique_ptr<MidiPort> &port) {
    {
        std::lock_guard lock(m_log->mutex);
        if (std::find(m_log->names.begin(), m_log->names.end(), name) == m_log->names.end())
            return MIDIERR_NODEVICE;
    }
    port = std::make_unique<RecorderPort>(m_log, name);
    return MMSYSERR_NOERROR;
}

std::vector<RecordedMidiMessage> MidiRecorder::messages() const {
    std::lock_guard lock(m_log->mutex);
    return m_log->messages;
}

std::vector<DWORD> MidiRecorder::words() const {
    std::lock_guard lock(m_log->mutex);
    std::vector<DWORD> words;
    for (const RecordedMidiMessage &m : m_log->messages)
        words.push_back(m.word);
    return words;
}

void MidiRecorder::clear() {
    std::lock_guard lock(m_log->mutex);
    m_log->messages.clear();
}

} // namespace tambolin
