#include "platform/files/binetx_download.h"

#include "platform/files/binetx_loader.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QThread>
#include <atomic>
#include <mutex>
#include <sys/eventfd.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tambolin {

struct BinetxDownload::State {
    explicit State(QString text) : command(std::move(text)) {}
    State(const State &) = delete;
    State &operator=(const State &) = delete;
    ~State() {
        if (wakeFd >= 0)
            ::close(wakeFd);
    }

    // Wakes the waiting event loop; async-safe and thread-safe.
    void wake() const {
        const std::uint64_t one = 1;
        (void)!::write(wakeFd, &one, sizeof one);
    }

    const QString command;
    int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    // Read by the library through an atomic reference while it downloads.
    alignas(std::atomic_ref<std::int32_t>::required_alignment) std::int32_t cancel = 0;
    std::atomic<bool> done{false};
    Long result = 0; // written by the worker before done
};

namespace {

// Downloads given up on finish in the background (they see the cancel flag
// within moments). They are waited for once done, and the program waits for
// the rest when it ends, so no download thread outlives the libraries and the
// Qt state it uses. The threads are Qt's own: a plain thread that touches
// Qt objects gets thread data Qt may never free.
class Stragglers {
public:
    Stragglers() = default;
    Stragglers(const Stragglers &) = delete;
    Stragglers &operator=(const Stragglers &) = delete;
    ~Stragglers() {
        for (auto &[thread, done] : take(false))
            thread->wait();
    }

    void add(std::unique_ptr<QThread> thread, std::shared_ptr<const std::atomic<bool>> done) {
        for (auto &[finished, _] : take(true))
            finished->wait();
        std::lock_guard lock(m_mutex);
        m_threads.emplace_back(std::move(thread), std::move(done));
    }

private:
    using Entry = std::pair<std::unique_ptr<QThread>, std::shared_ptr<const std::atomic<bool>>>;

    // The threads that are done (onlyDone) or all of them, out of the list.
    std::vector<Entry> take(bool onlyDone) {
        std::lock_guard lock(m_mutex);
        std::vector<Entry> out;
        for (auto it = m_threads.begin(); it != m_threads.end();) {
            if (!onlyDone || it->second->load()) {
                out.push_back(std::move(*it));
                it = m_threads.erase(it);
            } else {
                ++it;
            }
        }
        return out;
    }

    std::mutex m_mutex;
    std::vector<Entry> m_threads;
};

Stragglers &stragglers() {
    static Stragglers all;
    return all;
}

} // namespace

BinetxDownload::BinetxDownload(QString command)
    : m_state(std::make_shared<State>(std::move(command))) {}

BinetxDownload::~BinetxDownload() {
    canceller().cancel();
}

void BinetxDownload::Canceller::cancel() const {
    if (!m_state)
        return;
    std::atomic_ref<std::int32_t>(m_state->cancel).store(1);
    m_state->wake();
}

BinetxDownload::Canceller BinetxDownload::canceller() const {
    Canceller c;
    c.m_state = m_state;
    return c;
}

Long BinetxDownload::run() {
    m_abandoned = true;
    if (m_state->wakeFd < 0)
        return 0;
    QEventLoop loop;
    QSocketNotifier notifier(m_state->wakeFd, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
        std::uint64_t count = 0;
        (void)!::read(m_state->wakeFd, &count, sizeof count);
        if (m_state->done.load() || std::atomic_ref<std::int32_t>(m_state->cancel).load() != 0)
            loop.quit();
    });

    BinetxLibrary &library = currentBinetx();
    // The thread owns a share of the state, so it may outlive this object.
    std::unique_ptr<QThread> worker(QThread::create([state = m_state, &library] {
        Long reserved = 0;
        Long result = 0;
        try {
            result = library.W3getv(state->command, reserved, &state->cancel);
        } catch (...) {
        }
        state->result = result;
        state->done = true;
        state->wake();
    }));
    worker->start();

    if (!m_state->done.load() && std::atomic_ref<std::int32_t>(m_state->cancel).load() == 0)
        loop.exec();
    if (!m_state->done.load()) {
        stragglers().add(std::move(worker),
                         std::shared_ptr<const std::atomic<bool>>(m_state, &m_state->done));
        return 0;
    }
    worker->wait(); // it has set done and only returns now
    m_abandoned = false;
    return m_state->result;
}

} // namespace tambolin
