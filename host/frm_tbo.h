#pragma once
// FRM_TBO: the program's one window, "Form1", carrying one player control,
// PLAYCTRL1, created by its class name. The form holds no code of its own:
// everything the user does happens in the control.

#include <QString>
#include <QWidget>

namespace tambolin {

class ControlLoader;

class FRM_TBO final : public QWidget {
public:
    // Creates the form and, with it, PLAYCTRL1 through loader.
    explicit FRM_TBO(ControlLoader &loader, QWidget *parent = nullptr);

    // The control, or null when it could not be created (see loadError()).
    QWidget *playctrl1() const { return m_playctrl1; }
    QString loadError() const { return m_loadError; }

    static constexpr int kClientWidth = 161;  // 2415 twips
    static constexpr int kClientHeight = 101; // 1515 twips
    static constexpr int kExtentX = 4313;     // PLAYCTRL1's persisted extent, 0.01 mm
    static constexpr int kExtentY = 2725;

private:
    QWidget *m_playctrl1 = nullptr; // owned by the form as its child
    QString m_loadError;
};

} // namespace tambolin
