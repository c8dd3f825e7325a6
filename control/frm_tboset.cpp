#include "control/frm_tboset.h"

#include "control/design_font.h"
#include "control/midi_lists.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace tambolin {

namespace {

constexpr int px(int twips) {
    return twips / 15;
}

// A caption wider than its design width would be cut: the label grows to
// its text, from where it stands.
void fitWidth(QLabel &label) {
    label.resize(std::max(label.width(), label.sizeHint().width()), label.height());
}

FRM_TBOSET::ModalHook &modalHook() {
    static FRM_TBOSET::ModalHook hook;
    return hook;
}

} // namespace

FRM_TBOSET::FRM_TBOSET(QWidget *owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("Tamberlo Player Setting"));
    setFont(designFont(9, false));
    setFixedSize(px(3840), px(1395));

    m_label6 = new QLabel(QStringLiteral("MIDI :"), this);
    m_label6->setObjectName(QStringLiteral("Label6"));
    m_label6->setGeometry(px(90), px(150), px(435), px(180));
    fitWidth(*m_label6);

    m_cmbOutDevice = new QComboBox(this);
    m_cmbOutDevice->setObjectName(QStringLiteral("cmbOutDevice"));
    m_cmbOutDevice->setEditable(false);
    m_cmbOutDevice->setGeometry(px(720), px(90), px(2985), px(300));

    m_label7 = new QLabel(QStringLiteral("楽器 :"), this);
    m_label7->setObjectName(QStringLiteral("Label7"));
    m_label7->setGeometry(px(90), px(510), px(450), px(180));
    fitWidth(*m_label7);

    m_lstMusicalInstruments = new QComboBox(this);
    m_lstMusicalInstruments->setObjectName(QStringLiteral("lstMusicalInstruments"));
    m_lstMusicalInstruments->setEditable(false);
    m_lstMusicalInstruments->setGeometry(px(720), px(480), px(2985), px(300));

    m_command1 = new QPushButton(QStringLiteral("閉じる"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(px(2730), px(930), px(1005), px(375));
    m_command1->setAutoDefault(false);

    // A selection made by the user or by code acts at once.
    connect(m_cmbOutDevice, &QComboBox::currentIndexChanged, this,
            [this] { cmbOutDevice_Click(); });
    connect(m_lstMusicalInstruments, &QComboBox::currentIndexChanged, this,
            [this] { lstMusicalInstruments_Click(); });
    connect(m_command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    // Each list is announced by its caption, not by the entry it shows.
    m_label6->setBuddy(m_cmbOutDevice);
    m_label7->setBuddy(m_lstMusicalInstruments);
    retranslate();
}

void FRM_TBOSET::retranslate() {
    m_cmbOutDevice->setAccessibleDescription(
        QCoreApplication::translate("FRM_TBOSET", "音を出すMIDI出力デバイスを選びます"));
    m_lstMusicalInstruments->setAccessibleDescription(
        QCoreApplication::translate("FRM_TBOSET", "メロディを演奏する楽器を選びます"));
    m_command1->setAccessibleDescription(QCoreApplication::translate(
        "FRM_TBOSET", "設定を閉じます。選んだ設定はすぐに使われています"));
}

void FRM_TBOSET::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void FRM_TBOSET::cmbOutDevice_Click() {
    // The form's window takes the driver's notifications, and lets them pass.
    step([&] {
        openMidiDevice(toInteger(m_cmbOutDevice->currentIndex()),
                       reinterpret_cast<DWORD_PTR>(this));
    });
}

void FRM_TBOSET::lstMusicalInstruments_Click() {
    step([&] { sendProgramChange(toInteger(m_lstMusicalInstruments->currentIndex())); });
}

void FRM_TBOSET::Command1_Click() {
    step([&] { hide(); });
}

void FRM_TBOSET::ShowModal() {
    if (modalHook()) {
        show();
        modalHook()(*this);
        return;
    }
    exec();
}

void FRM_TBOSET::Unload() {
    m_unloading = true;
    close();
}

void FRM_TBOSET::setModalHook(ModalHook hook) {
    modalHook() = std::move(hook);
}

void FRM_TBOSET::closeEvent(QCloseEvent *event) {
    // Only the window system's close (the user's close box) is turned into
    // a hide; a close asked for by the application or the ending session
    // goes through, or closing every window would stop here. The form is
    // not deleted on close either way.
    if (m_unloading || !event->spontaneous()) {
        event->accept();
        return;
    }
    hide();
    event->ignore();
}

} // namespace tambolin
