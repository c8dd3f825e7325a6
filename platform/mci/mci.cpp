#include "platform/mci/mci.h"

#include "platform/audio/wav_reader.h"
#include "platform/mci/mci_command.h"
#include "platform/mci/mci_sequencer.h"
#include "platform/mci/mci_waveaudio.h"
#include "platform/runtime/bounded_read.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace tambolin {

namespace {

// Larger files are refused rather than read whole into memory.
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

const QString kSequencer = QStringLiteral("sequencer");
const QString kWaveAudio = QStringLiteral("waveaudio");

struct OpenDevice {
    UINT id = 0;
    QString name; // the alias, or the element when opened without one
    std::unique_ptr<MciDevice> device;
};

// The devices of one thread, in the order they were opened.
struct Session {
    std::vector<OpenDevice> devices;
};

thread_local Session t_session;

OpenDevice *findDevice(const QString &name) {
    for (OpenDevice &d : t_session.devices) {
        if (d.name.compare(name, Qt::CaseInsensitive) == 0)
            return &d;
    }
    return nullptr;
}

UINT freeId() {
    UINT id = 1;
    for (bool taken = true; taken; ++id) {
        taken = false;
        for (const OpenDevice &d : t_session.devices)
            taken = taken || d.id == id;
        if (!taken)
            return id;
    }
    return id;
}

void pumpAll() {
    for (OpenDevice &d : t_session.devices)
        d.device->pump();
}

// Blocks until the device has played its range; other devices keep playing.
void waitForEnd(MciDevice &device) {
    while (device.mode() == MciDevice::Mode::Playing) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        pumpAll();
    }
}

MCIERROR parseNumber(const QStringList &words, qsizetype at, std::int64_t &out) {
    if (at >= words.size())
        return MCIERR_MISSING_PARAMETER;
    bool ok = false;
    out = words[at].toLongLong(&ok);
    if (!ok)
        return MCIERR_BAD_INTEGER;
    return out < 0 ? MCIERR_OUTOFRANGE : 0;
}

QString deviceTypeOf(const QString &element) {
    const QString ext = QFileInfo(element).suffix().toLower();
    if (ext == QLatin1String("mid") || ext == QLatin1String("midi") || ext == QLatin1String("rmi"))
        return kSequencer;
    if (ext == QLatin1String("wav"))
        return kWaveAudio;
    return {};
}

// The bytes of a regular file. Anything else is refused before a byte is
// read: opening a FIFO would wait for a writer for ever, and a device never
// ends. The file is opened without blocking and checked through its handle,
// so it cannot be swapped between the check and the read.
MCIERROR readElement(const QString &element, QByteArray &bytes) {
    const int fd =
        ::open(QFile::encodeName(element).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return MCIERR_FILE_NOT_FOUND;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return MCIERR_INVALID_FILE;
    }
    if (st.st_size > kMaxFileBytes) {
        ::close(fd);
        return MCIERR_OUT_OF_MEMORY;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return MCIERR_FILE_NOT_FOUND;
    }
    bytes = readAtMost(file, kMaxFileBytes);
    return bytes.size() > kMaxFileBytes ? MCIERR_OUT_OF_MEMORY : 0;
}

MCIERROR loadDevice(const QString &type, const QString &element,
                    std::unique_ptr<MciDevice> &device) {
    QByteArray bytes;
    if (const MCIERROR e = readElement(element, bytes))
        return e;
    QString error;
    if (type == kSequencer) {
        auto sequence = parseSmf(bytes, error);
        if (!sequence)
            return MCIERR_INVALID_FILE;
        device = std::make_unique<MciSequencer>(std::move(*sequence));
    } else {
        auto clip = readWav(bytes, error);
        if (!clip)
            return MCIERR_INVALID_FILE;
        device = std::make_unique<MciWaveAudio>(std::move(*clip));
    }
    return 0;
}

MCIERROR open(const QStringList &w, QString &reply) {
    if (w.size() < 2)
        return MCIERR_MISSING_DEVICE_NAME;
    QString element = w[1];
    QString type;
    QString alias;
    for (qsizetype i = 2; i < w.size(); ++i) {
        const QString key = w[i].toLower();
        if (key == QLatin1String("type") || key == QLatin1String("alias")) {
            if (i + 1 >= w.size())
                return MCIERR_MISSING_STRING_ARGUMENT;
            (key == QLatin1String("type") ? type : alias) = w[++i];
        } else if (key != QLatin1String("shareable") && key != QLatin1String("wait") &&
                   key != QLatin1String("notify")) {
            return MCIERR_UNRECOGNIZED_KEYWORD;
        }
    }
    // "sequencer!song.mid" names the type and the file in one word.
    const qsizetype bang = element.indexOf(u'!');
    if (bang > 0 && type.isEmpty()) {
        type = element.left(bang);
        element = element.mid(bang + 1);
    }
    type = type.toLower();
    if (type.isEmpty() && (element.compare(kSequencer, Qt::CaseInsensitive) == 0 ||
                           element.compare(kWaveAudio, Qt::CaseInsensitive) == 0))
        return MCIERR_FILENAME_REQUIRED;
    if (type.isEmpty()) {
        type = deviceTypeOf(element);
        if (type.isEmpty())
            return QFileInfo(element).suffix().isEmpty() ? MCIERR_INVALID_DEVICE_NAME
                                                         : MCIERR_EXTENSION_NOT_FOUND;
    }
    if (type != kSequencer && type != kWaveAudio)
        return MCIERR_INVALID_DEVICE_NAME;
    if (element.isEmpty() || element.compare(type, Qt::CaseInsensitive) == 0)
        return MCIERR_FILENAME_REQUIRED;
    const QString name = alias.isEmpty() ? element : alias;
    if (findDevice(name))
        return alias.isEmpty() ? MCIERR_DEVICE_OPEN : MCIERR_DUPLICATE_ALIAS;

    std::unique_ptr<MciDevice> device;
    if (const MCIERROR e = loadDevice(type, element, device))
        return e;
    const UINT id = freeId();
    t_session.devices.push_back({id, name, std::move(device)});
    reply = QString::number(id);
    return 0;
}

MCIERROR play(MciDevice &device, const QStringList &args, bool wait) {
    std::int64_t from = device.positionMs();
    std::int64_t to = device.lengthMs();
    bool fromGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString key = args[i].toLower();
        std::int64_t *target = key == QLatin1String("from") ? &from
                               : key == QLatin1String("to") ? &to
                                                            : nullptr;
        if (!target)
            return MCIERR_UNRECOGNIZED_KEYWORD;
        if (const MCIERROR e = parseNumber(args, ++i, *target))
            return e;
        fromGiven = fromGiven || target == &from;
    }
    // Played to the end and stopped there: play again from the start.
    if (!fromGiven && device.mode() == MciDevice::Mode::Stopped && from >= device.lengthMs())
        from = 0;
    if (from > device.lengthMs() || to > device.lengthMs() || from > to)
        return MCIERR_OUTOFRANGE;
    if (const MCIERROR e = device.play(from, to))
        return e;
    if (wait)
        waitForEnd(device);
    return 0;
}

QString modeText(MciDevice::Mode mode) {
    switch (mode) {
    case MciDevice::Mode::Playing:
        return QStringLiteral("playing");
    case MciDevice::Mode::Paused:
        return QStringLiteral("paused");
    case MciDevice::Mode::Stopped:
        break;
    }
    return QStringLiteral("stopped");
}

MCIERROR status(const MciDevice &device, const QStringList &args, QString &reply) {
    if (args.isEmpty())
        return MCIERR_MISSING_PARAMETER;
    const QString item = args.join(u' ').toLower();
    if (item == QLatin1String("mode"))
        reply = modeText(device.mode());
    else if (item == QLatin1String("length"))
        reply = QString::number(device.lengthMs());
    else if (item == QLatin1String("position"))
        reply = QString::number(device.positionMs());
    else if (item == QLatin1String("start position"))
        reply = QStringLiteral("0");
    else if (item == QLatin1String("ready") || item == QLatin1String("media present"))
        reply = QStringLiteral("true");
    else if (item == QLatin1String("number of tracks") || item == QLatin1String("current track"))
        reply = QStringLiteral("1");
    else if (item == QLatin1String("time format"))
        reply = QStringLiteral("milliseconds");
    else
        reply = device.statusItem(item);
    return reply.isEmpty() ? MCIERR_UNRECOGNIZED_KEYWORD : 0;
}

MCIERROR seek(MciDevice &device, const QStringList &args) {
    if (args.size() != 2 || args[0].compare(QLatin1String("to"), Qt::CaseInsensitive) != 0)
        return args.isEmpty() ? MCIERR_MISSING_PARAMETER : MCIERR_UNRECOGNIZED_KEYWORD;
    const QString where = args[1].toLower();
    std::int64_t ms = 0;
    if (where == QLatin1String("end"))
        ms = device.lengthMs();
    else if (where != QLatin1String("start")) {
        if (const MCIERROR e = parseNumber(args, 1, ms))
            return e;
        if (ms > device.lengthMs())
            return MCIERR_OUTOFRANGE;
    }
    device.seek(ms);
    return 0;
}

MCIERROR set(const QStringList &args) {
    const QString setting = args.join(u' ').toLower();
    if (!setting.startsWith(QLatin1String("time format")))
        return args.isEmpty() ? MCIERR_MISSING_PARAMETER : MCIERR_UNRECOGNIZED_KEYWORD;
    // Positions and lengths are in milliseconds only.
    if (setting == QLatin1String("time format milliseconds") ||
        setting == QLatin1String("time format ms"))
        return 0;
    return MCIERR_BAD_TIME_FORMAT;
}

void closeDevice(const QString &name) {
    auto &devices = t_session.devices;
    for (auto it = devices.begin(); it != devices.end(); ++it) {
        if (it->name.compare(name, Qt::CaseInsensitive) == 0) {
            devices.erase(it);
            return;
        }
    }
}

MCIERROR run(const QStringList &words, QString &reply) {
    if (words.isEmpty())
        return MCIERR_MISSING_COMMAND_STRING;
    const QString verb = words[0].toLower();
    static const QStringList known = {"open", "close", "play",   "pause", "resume",
                                      "stop", "seek",  "status", "set"};
    if (!known.contains(verb))
        return MCIERR_UNRECOGNIZED_COMMAND;
    if (verb == QLatin1String("open"))
        return open(words, reply);
    if (words.size() < 2)
        return MCIERR_MISSING_DEVICE_NAME;

    QStringList args;
    bool wait = false;
    for (const QString &word : words.mid(2)) {
        if (word.compare(QLatin1String("wait"), Qt::CaseInsensitive) == 0)
            wait = true;
        else if (word.compare(QLatin1String("notify"), Qt::CaseInsensitive) != 0)
            args << word;
    }

    if (words[1].compare(QLatin1String("all"), Qt::CaseInsensitive) == 0) {
        if (verb == QLatin1String("close")) {
            t_session.devices.clear();
            return 0;
        }
        if (verb == QLatin1String("stop")) {
            for (OpenDevice &d : t_session.devices)
                d.device->stop();
            return 0;
        }
        return MCIERR_CANNOT_USE_ALL;
    }
    OpenDevice *open = findDevice(words[1]);
    if (!open)
        return MCIERR_INVALID_DEVICE_NAME;
    MciDevice &device = *open->device;
    device.pump();

    if (verb == QLatin1String("play"))
        return play(device, args, wait);
    if (verb == QLatin1String("status"))
        return status(device, args, reply);
    if (verb == QLatin1String("seek"))
        return seek(device, args);
    if (verb == QLatin1String("set"))
        return set(args);
    if (!args.isEmpty())
        return MCIERR_UNRECOGNIZED_KEYWORD;
    if (verb == QLatin1String("pause"))
        device.pause();
    else if (verb == QLatin1String("resume"))
        return device.resume();
    else if (verb == QLatin1String("stop"))
        device.stop();
    else if (verb == QLatin1String("close"))
        closeDevice(words[1]);
    return 0;
}

} // namespace

MCIERROR mciSendStringA(const char *command, char *returnString, UINT returnLength,
                        Long /*hwndCallback*/) noexcept {
    if (returnString && returnLength > 0)
        returnString[0] = '\0';
    if (!command)
        return MCIERR_MISSING_COMMAND_STRING;
    try {
        QStringList words;
        if (const MCIERROR e = splitMciCommand(QFile::decodeName(command), words))
            return e;
        QString reply;
        if (const MCIERROR e = run(words, reply))
            return e;
        if (!returnString || returnLength == 0)
            return 0;
        const QByteArray bytes = QFile::encodeName(reply);
        const std::size_t n = std::min<std::size_t>(bytes.size(), returnLength - 1);
        std::memcpy(returnString, bytes.constData(), n);
        returnString[n] = '\0';
        return static_cast<std::size_t>(bytes.size()) > n ? MCIERR_PARAM_OVERFLOW : 0;
    } catch (const std::bad_alloc &) {
        return MCIERR_OUT_OF_MEMORY;
    } catch (...) {
        return MCIERR_UNSUPPORTED_FUNCTION;
    }
}

void mciCloseAll() noexcept {
    t_session.devices.clear();
}

} // namespace tambolin
