#pragma once
// FRM_TBOSET: the MIDI settings form of one player control: the output
// device and the instrument, each a drop-down list whose selection acts at
// once. Closing it from its close box only hides it, and no close deletes
// it, so its lists keep their entries and selections for as long as its
// control lives.

#include "platform/runtime/basic_runtime.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace tambolin {

class FRM_TBOSET final : public QDialog {
    Q_OBJECT
public:
    explicit FRM_TBOSET(QWidget *owner);

    QLabel *Label6() const { return m_label6; }
    QComboBox *cmbOutDevice() const { return m_cmbOutDevice; }
    QLabel *Label7() const { return m_label7; }
    QComboBox *lstMusicalInstruments() const { return m_lstMusicalInstruments; }
    QPushButton *Command1() const { return m_command1; }

    // Device chosen: closes the shared device and opens the chosen one.
    void cmbOutDevice_Click();
    // Instrument chosen: sends the program change.
    void lstMusicalInstruments_Click();
    // The close button: hides the form.
    void Command1_Click();

    // Shows the form modally; returns once it is hidden or closed.
    void ShowModal();
    // The owner's unload at its end, which the close guard lets through.
    void Unload();

    // Lets a test answer the modal form: while set, ShowModal shows the form
    // without blocking and calls the hook, which acts as the user would.
    using ModalHook = std::function<void(FRM_TBOSET &form)>;
    static void setModalHook(ModalHook hook);

protected:
    // Form_QueryUnload: the user closing the window only hides it; the
    // application's and the session's closes go through.
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The descriptions a screen reader gives, in the user's language.
    void retranslate();

    QLabel *m_label6 = nullptr;
    QComboBox *m_cmbOutDevice = nullptr;
    QLabel *m_label7 = nullptr;
    QComboBox *m_lstMusicalInstruments = nullptr;
    QPushButton *m_command1 = nullptr;
    bool m_unloading = false;
};

} // namespace tambolin
