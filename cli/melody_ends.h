#pragma once
// Counts the ends of the melody as the control itself sees them: the step
// that ends the last part disables the stop button, and the restart in the
// same tick enables it again.

#include <QObject>

namespace tambolin {
class PLAYCTRL;
}

namespace tambolin::cli {

class MelodyEnds final : public QObject {
    Q_OBJECT
public:
    explicit MelodyEnds(PLAYCTRL &control);
    int count() const { return m_count; }
    // The stop action disables the button too: not an end of the melody.
    void ignoreFromNowOn() { m_ignoring = true; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_count = 0;
    bool m_ignoring = false;
};

} // namespace tambolin::cli
