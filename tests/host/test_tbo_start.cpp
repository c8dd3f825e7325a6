// TBO's window comes first: the control opens its MIDI device only once the
// window has painted, and a failed open asks over that visible window.

#include "control/automation/class_registration.h"
#include "host/control_loader.h"
#include "host/frm_tbo.h"
#include "platform/desktop/message_box_owner.h"
#include "platform/midi/midi_setup.h"
#include "platform/runtime/message_box.h"
#include "support/config_home.h"

#include <QEvent>
#include <QTest>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string_view>

using namespace tambolin;

namespace {

class SilentPort final : public MidiPort {
public:
    MMRESULT shortMsg(DWORD) override { return MMSYSERR_NOERROR; }
    MMRESULT reset() override { return MMSYSERR_NOERROR; }
};

// One device; every listing and open is noted with whether the control had
// painted its first frame by then.
class WatchingBackend final : public MidiBackend {
public:
    struct Event {
        const char *what;
        bool painted;
    };
    std::function<bool()> painted = [] { return false; };
    MMRESULT openResult = MMSYSERR_NOERROR;
    std::vector<Event> events;

    std::vector<MidiDeviceInfo> devices() override {
        events.push_back({"list", painted()});
        return {{"Watched", MOD_MIDIPORT}};
    }
    MMRESULT open(const std::string &, std::unique_ptr<MidiPort> &port) override {
        events.push_back({"open", painted()});
        if (openResult == MMSYSERR_NOERROR)
            port = std::make_unique<SilentPort>();
        return openResult;
    }
    bool opened() const {
        return std::any_of(events.begin(), events.end(),
                           [](const Event &e) { return std::string_view(e.what) == "open"; });
    }
};

class PaintWatch final : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

class TboStart : public ::testing::Test {
protected:
    void SetUp() override {
        m_backend->painted = [this] { return m_watch.painted; };
        setMidiBackends({m_backend});
    }
    void TearDown() override { useDefaultMidiBackends(); }

    tambolin::testing::ConfigHome m_registry;
    std::shared_ptr<WatchingBackend> m_backend = std::make_shared<WatchingBackend>();
    PaintWatch m_watch;
    ControlLoader m_loader{{thisLibraryPath()}};
};

TEST_F(TboStart, TheDeviceOpensAfterTheFirstFrame) {
    MessageBoxRecorder boxes;
    FRM_TBO form(m_loader);
    ASSERT_NE(form.playctrl1(), nullptr) << form.loadError().toStdString();
    form.playctrl1()->installEventFilter(&m_watch);
    EXPECT_TRUE(m_backend->events.empty());

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTRY_VERIFY_WITH_TIMEOUT(m_backend->opened(), 5000);
    for (const WatchingBackend::Event &e : m_backend->events)
        EXPECT_TRUE(e.painted) << e.what;
    EXPECT_TRUE(boxes.calls().empty());
}

TEST_F(TboStart, AFailedOpenAsksOverTheVisibleWindow) {
    m_backend->openResult = MMSYSERR_NODRIVER;
    const FRM_TBO *shown = nullptr;
    int asked = 0;
    QWidget *owner = nullptr;
    bool visible = false;
    // Answered from the start: a box asked before the window shows is a fault too.
    const MessageBoxHook previous = setMessageBoxHook([&](const MessageBoxCall &) {
        ++asked;
        owner = messageBoxOwner();
        visible = shown && shown->isVisible() && m_watch.painted;
        return vbOK;
    });
    {
        FRM_TBO form(m_loader);
        ASSERT_NE(form.playctrl1(), nullptr) << form.loadError().toStdString();
        form.playctrl1()->installEventFilter(&m_watch);
        shown = &form;
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        QTRY_VERIFY_WITH_TIMEOUT(asked > 0, 5000);
        EXPECT_EQ(owner, &form);
        shown = nullptr;
    }
    setMessageBoxHook(previous);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(visible);
}

TEST_F(TboStart, ClosedBeforeItsFirstFrameItStillStartsAndEndsInFull) {
    MessageBoxRecorder boxes;
    {
        FRM_TBO form(m_loader);
        ASSERT_NE(form.playctrl1(), nullptr) << form.loadError().toStdString();
        EXPECT_FALSE(m_backend->opened());
    }
    // The end stores the choices MidiInit made, so MidiInit ran first.
    EXPECT_TRUE(m_backend->opened());
}

} // namespace
