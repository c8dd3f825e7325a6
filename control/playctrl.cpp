#include "control/playctrl.h"

#include "control/artwork.h"
#include "control/design_font.h"
#include "control/frm_tboset.h"
#include "control/panel_button.h"
#include "control/panel_keyboard.h"
#include "control/picture_box.h"
#include "control/title_label.h"
#include "melody/mod_tambolin.h"
#include "platform/clock/clock.h"
#include "timer/org_timer.h"

#include <QBitmap>
#include <QFrame>
#include <QHideEvent>
#include <QLabel>
#include <QPixmap>

namespace tambolin {

namespace {

// Layout units: 15 twips to the pixel.
constexpr int px(int twips) {
    return twips / 15;
}

const char *const kTooltips[5] = {"再生", "停止", "ﾌｧｲﾙ読み込み", "保存", "MIDI設定"};

// The picture buttons: a light face that stays legible on the dark panel.
const char *const kButtonStyle = R"(
QToolButton { border: 1px solid #141a21; border-radius: 3px;
  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f4f6f8, stop:1 #c6ccd4); }
QToolButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #d8dee6); }
QToolButton:pressed { background: #aeb6c0; }
QToolButton:disabled { background: #76808c; border-color: #2a323c; }
)";

QIcon buttonIcon(artwork::Button which) {
    const QImage picture = artwork::buttonPicture(which);
    QPixmap pixmap = QPixmap::fromImage(picture);
    // The pictures keep their 16 colours; fuchsia marks the see-through pixels.
    pixmap.setMask(QBitmap::fromImage(picture.createMaskFromColor(qRgb(0xFF, 0x00, 0xFF))));
    return QIcon(pixmap);
}

} // namespace

PLAYCTRL::PLAYCTRL(QWidget *parent) : PLAYCTRL(parent, MidiStart::AtOnce) {}

PLAYCTRL::PLAYCTRL(QWidget *parent, MidiStart midiStart) : QWidget(parent) {
    buildPanel();
    m_midiPending = midiStart == MidiStart::AfterFirstFrame;
    runInitialize(std::nullopt);
}

PLAYCTRL::PLAYCTRL(const MidiChoices &choices, QWidget *parent) : QWidget(parent) {
    buildPanel();
    runInitialize(choices);
}

PLAYCTRL::~PLAYCTRL() {
    runTerminate();
}

void PLAYCTRL::buildPanel() {
    setObjectName(QStringLiteral("PLAYCTRL"));
    setFixedSize(artwork::kPanelWidth, artwork::kPanelHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setBrush(QPalette::Window, QPixmap::fromImage(artwork::background()));
    setPalette(pal);

    Clock &clock = currentClock();
    m_playTimer = clock.createTimer(this);
    m_playTimer->setObjectName(QStringLiteral("PlayTimer"));
    m_playTimer->setInterval(10);
    connect(m_playTimer, &WindowTimer::tick, this, &PLAYCTRL::PlayTimer_Timer);

    m_picture1 = new PictureBox(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setGeometry(px(45), px(45), px(2310), px(240));
    m_picture1->setPicture(artwork::titleStrip());

    m_label1 = new TitleLabel(QString(), px(1500), m_picture1);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setFont(designFont(9, true));
    m_label1->setStyleSheet(QStringLiteral("color: #16240e;"));
    m_label1->setGeometry(0, px(30), px(1500), px(180));
    m_label1->setCaption(QStringLiteral("Tamberlo Player"));

    m_orgTimer1[0] = new OrgTimer(this);
    m_orgTimer1[0]->setObjectName(QStringLiteral("OrgTimer1_1"));

    m_baseTimer = clock.createTimer(this);
    m_baseTimer->setObjectName(QStringLiteral("BaseTimer"));
    m_baseTimer->setInterval(10);

    m_timer1 = clock.createTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(100);
    connect(m_timer1, &WindowTimer::tick, this, &PLAYCTRL::Timer1_Timer);
    m_timer1->setEnabled(true);

    // The buttons in their design order: 5 (settings) first, 1 (play) last.
    const int lefts[5] = {90, 450, 810, 1170, 1530};
    std::array<PanelButton *, 5> buttons{};
    for (int index = 5; index >= 1; --index) {
        auto *button = new PanelButton(index, this);
        button->setObjectName(QStringLiteral("Command1_%1").arg(index));
        button->setGeometry(px(lefts[index - 1]), px(720), px(360), px(360));
        button->setIcon(buttonIcon(static_cast<artwork::Button>(index)));
        button->setIconSize(QSize(16, 16));
        button->setToolTip(QString::fromUtf8(kTooltips[index - 1]));
        button->setStyleSheet(QString::fromLatin1(kButtonStyle));
        connect(button, &QToolButton::clicked, this,
                [this, index] { Command1_Click(static_cast<Integer>(index)); });
        m_command1[static_cast<std::size_t>(index - 1)] = button;
        buttons[static_cast<std::size_t>(index - 1)] = button;
    }
    new PanelKeyboard(*this, buttons);
    m_command1[1]->setEnabled(false);
    m_command1[0]->setEnabled(false);

    m_picture2 = new PictureBox(this);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    m_picture2->setGeometry(px(90), px(330), px(2235), px(315));
    m_picture2->setBackColor(QColor(0x18, 0x1e, 0x26));

    for (int i = 0; i < 3; ++i) {
        auto *bar = new PictureBox(m_picture2);
        bar->setObjectName(QStringLiteral("Picture3_%1").arg(i));
        bar->setGeometry(0, px(90 * i), px(2145), px(45));
        bar->setPicture(artwork::meterBar());
        m_picture3[static_cast<std::size_t>(i)] = bar;
    }

    // Below the visible height of their frame: written, never seen.
    for (int i = 0; i < 2; ++i) {
        auto *label = new QLabel(QStringLiteral("0"), m_picture2);
        label->setObjectName(QStringLiteral("Label2_%1").arg(i));
        label->setGeometry(px(1920), px(690 + 240 * i), px(405), px(195));
        m_label2[static_cast<std::size_t>(i)] = label;
    }
    m_line1 = new QFrame(m_picture2);
    m_line1->setObjectName(QStringLiteral("Line1"));
    m_line1->setFrameShape(QFrame::HLine);
    m_line1->setGeometry(px(1950), px(900), px(2250) - px(1950) + 1, 1);
}

void PLAYCTRL::runInitialize(const std::optional<MidiChoices> &choices) {
    step([&] {
        m_settings = new FRM_TBOSET(this);
        m_settings->setObjectName(QStringLiteral("FRM_TBOSET"));
    });
    if (choices) {
        step([&] { mod().midiport = choices->device; });
        step([&] { mod().midisource = choices->instrument; });
    } else {
        step([&] { IniLoad(); });
    }
    step([&] { mod().onpmax = 200; });
    step([&] {
        for (int i = 1; i < 3; ++i) {
            m_orgTimer1[static_cast<std::size_t>(i)] = new OrgTimer(this);
            m_orgTimer1[static_cast<std::size_t>(i)]->setObjectName(
                QStringLiteral("OrgTimer1_%1").arg(i + 1));
        }
    });
    for (Integer n = 1; n <= 3; ++n) {
        step([&] { mod().onpcnt(n) = 0; });
        step([&] {
            Integer silent = -1;
            meter(silent, n);
        });
    }
    step([&] { mod().fillHeaders(); });
    step([&] { mod().tempo = 1; });
    if (!m_midiPending)
        step([&] { MidiInit(); });

    for (int i = 0; i < 3; ++i) {
        OrgTimer *part = m_orgTimer1[static_cast<std::size_t>(i)];
        if (!part)
            continue;
        connect(part, &OrgTimer::TimerChange, this, [this, i](Integer no, const QString &id) {
            OrgTimer1_TimerChange(static_cast<Integer>(i + 1), no, id);
        });
    }
}

void PLAYCTRL::runPendingMidiInit() {
    if (!m_midiPending)
        return;
    m_midiPending = false;
    step([&] { MidiInit(); });
}

void PLAYCTRL::runTerminate() {
    // Closed before its first frame: the start completes first, so the end
    // stores the same choices it always does.
    runPendingMidiInit();
    step([&] { MidiEnd(); });
    step([&] { IniSave(); });
    step([&] {
        if (m_settings) {
            m_settings->Unload();
            delete m_settings;
            m_settings = nullptr;
        }
    });
}

void PLAYCTRL::hideEvent(QHideEvent *event) {
    QWidget::hideEvent(event);
    // A window that the user minimises keeps playing; only the container
    // hiding the control stops it.
    if (!event->spontaneous())
        UserControl_Hide();
    updateMarqueeTimer();
}

void PLAYCTRL::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    m_shownOnce = true;
    updateMarqueeTimer();
}

void PLAYCTRL::paintEvent(QPaintEvent *event) {
    QWidget::paintEvent(event);
    if (m_midiPending && !m_midiPosted) {
        // Queued: the frame being painted reaches the screen first.
        m_midiPosted = true;
        QMetaObject::invokeMethod(this, &PLAYCTRL::runPendingMidiInit, Qt::QueuedConnection);
    }
}

void PLAYCTRL::UserControl_Hide() {
    step([&] { Command1_Click(2); });
}

void PLAYCTRL::setMousePointer(Integer code) {
    m_mousePointer = code;
    if (code == 11)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

QString PLAYCTRL::FileName() const {
    return m_tag;
}

QString PLAYCTRL::MTitle() const {
    return m_label1 ? m_label1->caption() : QString();
}

Boolean PLAYCTRL::Play() const {
    return m_playflg;
}

void PLAYCTRL::setPlay(Boolean &ponflg) {
    step([&] {
        // Any non-zero value is True, as a Boolean argument always arrives.
        if (ponflg != False && m_playflg == False)
            Command1_Click(1);
        else if (ponflg == False && m_playflg != False)
            Command1_Click(2);
    });
}

QAbstractButton *PLAYCTRL::Command1(int index) const {
    return index >= 1 && index <= 5 ? m_command1[static_cast<std::size_t>(index - 1)] : nullptr;
}

QLabel *PLAYCTRL::Label2(int index) const {
    return index >= 0 && index <= 1 ? m_label2[static_cast<std::size_t>(index)] : nullptr;
}

PictureBox *PLAYCTRL::Picture3(int index) const {
    return index >= 0 && index <= 2 ? m_picture3[static_cast<std::size_t>(index)] : nullptr;
}

OrgTimer *PLAYCTRL::OrgTimer1(int index) const {
    return index >= 1 && index <= 3 ? m_orgTimer1[static_cast<std::size_t>(index - 1)] : nullptr;
}

} // namespace tambolin
