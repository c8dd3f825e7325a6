#pragma once
// PLAYCTRL: the player control. A 160 x 100 panel with the title strip, the
// three level bars and five picture buttons, the playback sequencer behind
// them, and the members a host drives it through (see control/automation.h
// for the same members by name and dispatch identifier).
//
// Every member and event handler runs in "continue after error" mode: a
// statement that fails is skipped and nothing escapes to the caller.
// Time and timers come only from the clock layer, so the whole control runs
// headless on a virtual clock.

#include "platform/runtime/basic_runtime.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>

class QAbstractButton;
class QFrame;
class QLabel;

namespace tambolin {

class FRM_TBOSET;
class OrgTimer;
class PictureBox;
class TitleLabel;
class WindowTimer;

// The two choices of the settings form, numbered as its lists: device entry
// (0 = the mapper, k = device k-1) and instrument entry (General MIDI
// program - 1).
struct MidiChoices {
    Integer device = 0;
    Integer instrument = 0;
};

class PLAYCTRL final : public QWidget {
    Q_OBJECT
public:
    // When the MIDI device opens as the control starts: at once, or (for a
    // container that shows its window first) right after the control's
    // first frame is on screen, so the window does not wait for the device.
    enum class MidiStart { AtOnce, AfterFirstFrame };

    // Start: settings form, stored settings, melody store, timers, meters, MIDI.
    explicit PLAYCTRL(QWidget *parent = nullptr);
    PLAYCTRL(QWidget *parent, MidiStart midiStart);
    // The same start with these choices in place of the stored ones, which
    // are not read; the device opens and the program change goes out as the
    // control starts. The choices are stored at the end as ever.
    explicit PLAYCTRL(const MidiChoices &choices, QWidget *parent = nullptr);
    // End: MIDI device closed, settings stored, settings form unloaded.
    ~PLAYCTRL() override;

    // ---- the automation members, in interface order ----

    // The path of the melody file last loaded or saved through the control.
    QString FileName() const;
    // Loads the melody file at value, or downloads an http:// or ftp:// URL
    // into the temporary folder and loads that; playback restarts after a
    // successful load if it was running.
    void setFileName(QString &value);
    void FileSave(QString &fname);
    void IniLoad();
    void IniSave();
    void kijyunput(Integer &kno);
    void MidiEnd();
    void MidiInit();
    void MidiOff(Integer &kk);
    void onpdatget(Integer &dat, Integer &onpdat, Integer &kaidat);
    void onpdatput(Integer &onpdat, Integer &kaidat, Boolean &sanrflg, Integer &sanrcnt);
    Boolean Play() const;
    // True while stopped runs the play action, False while playing the stop action.
    void setPlay(Boolean &ponflg);
    // The caption of the title display.
    QString MTitle() const;
    QVariant TitleName_Get(QByteArray &tbyte, Integer &tsize);
    void TitleName_Put(Integer &pnum);
    void MidiOn(Integer &kk);
    void FileLoad(QString &fname);
    // Sets the bar of part n (1..3) to pitch level a (-1 = silent).
    void meter(Integer &a, Integer &n);

    // ---- the control's own surface ----

    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }
    // 0 = the default pointer, 11 = the hourglass (busy while loading or saving).
    Integer MousePointer() const { return m_mousePointer; }
    void setMousePointer(Integer code);

    // Shows a melody just read into the store: empties the parts, reads the
    // file, shows its title, records the path, finds the longest part and
    // enables the play button; the pointer is busy meanwhile. The loading
    // actions of the panel and of the host share it.
    void loadMelody(const QString &path);

    // The panel's actions, which its buttons run: play from the start (the
    // play button) and stop (the stop button).
    void playAction();
    void stopAction();

    // Chooses an entry of the settings form's lists, as the user does there:
    // the device opens, or the program change goes out, at once. An entry the
    // list does not have changes nothing.
    void selectMidiDevice(Integer entry);
    void selectInstrument(Integer entry);

    // The per-instance sequencer flags.
    Boolean playflg() const { return m_playflg; }
    Boolean stopflg() const { return m_stopflg; }

    // ---- child controls, under their design names ----

    QAbstractButton *Command1(int index) const; // 1..5; nullptr otherwise
    TitleLabel *Label1() const { return m_label1; }
    QLabel *Label2(int index) const; // 0..1; nullptr otherwise
    PictureBox *Picture1() const { return m_picture1; }
    PictureBox *Picture2() const { return m_picture2; }
    PictureBox *Picture3(int index) const; // 0..2; nullptr otherwise
    QFrame *Line1() const { return m_line1; }
    OrgTimer *OrgTimer1(int index) const; // 1..3; nullptr otherwise
    WindowTimer *PlayTimer() const { return m_playTimer; }
    WindowTimer *BaseTimer() const { return m_baseTimer; }
    WindowTimer *Timer1() const { return m_timer1; }
    // The settings form; nullptr once unloaded at the end.
    FRM_TBOSET *settingsForm() const { return m_settings; }

    // ---- event handlers ----

    // The panel: 1 play, 2 stop, 3 open, 4 save, 5 settings; others nothing.
    void Command1_Click(Integer Index);
    // The per-note step of part Index; `no` is not used.
    void OrgTimer1_TimerChange(Integer Index, Integer no, const QString &id);
    // Every 10 ms while playing: ticks the three parts, restarts at the end.
    void PlayTimer_Timer();
    // Every 100 ms: one marquee step.
    void Timer1_Timer();

signals:
    // The melody has played to its end on its own (a stop is no end); the
    // restart follows in the same tick.
    void melodyEnded();

protected:
    void hideEvent(QHideEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildPanel();
    void settingsAction();
    void openAction();
    void saveAction();
    // Asks for a name and saves under it; False when the user cancelled.
    Boolean FileSaveAs();
    // The window that owns the control's dialogs, 0 for none.
    Long ownerWindow() const;
    void runInitialize(const std::optional<MidiChoices> &choices);
    void runTerminate();
    // MidiInit held back until the first frame; runs it once.
    void runPendingMidiInit();
    // The marquee's timer wakes the process only while its strip can be
    // seen: hidden or minimised after being shown, it rests, and the title
    // jumps on by the steps it missed when the strip shows again.
    void updateMarqueeTimer();
    void UserControl_Hide();
    bool anyPartEnabled() const;
    bool stopEnabled() const;
    void setPanelIdle();
    void restPlayTimer();

    FRM_TBOSET *m_settings = nullptr;
    QString m_tag;
    Integer m_mousePointer = 0;
    Boolean m_playflg = False;
    Boolean m_stopflg = False;
    // While the sequencer sends a step's notes: when the melody means them
    // to sound (clock milliseconds), handed to the MIDI output with them.
    std::optional<std::int64_t> m_noteDue;
    bool m_midiPending = false;
    bool m_midiPosted = false;
    bool m_shownOnce = false;
    QPointer<QWidget> m_watchedWindow;
    // Clock milliseconds when the marquee last rested.
    std::optional<std::int64_t> m_marqueeRestingSince;

    WindowTimer *m_playTimer = nullptr;
    WindowTimer *m_baseTimer = nullptr;
    WindowTimer *m_timer1 = nullptr;
    PictureBox *m_picture1 = nullptr;
    TitleLabel *m_label1 = nullptr;
    PictureBox *m_picture2 = nullptr;
    std::array<PictureBox *, 3> m_picture3{};
    std::array<QLabel *, 2> m_label2{};
    QFrame *m_line1 = nullptr;
    std::array<QAbstractButton *, 5> m_command1{};
    std::array<OrgTimer *, 3> m_orgTimer1{};
};

} // namespace tambolin
