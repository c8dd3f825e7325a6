#pragma once
// The panel's pictures, drawn in code so that no binary artwork needs to be
// kept in step with the layout: the background, the title strip, a meter bar
// at full level and the five 16-colour button pictures.

#include <QImage>

namespace tambolin::artwork {

inline constexpr int kPanelWidth = 160;
inline constexpr int kPanelHeight = 100;

// 160 x 100, 24-bit.
QImage background();
// 154 x 16, 24-bit: the strip behind the scrolling title.
QImage titleStrip();
// 143 x 3, 24-bit: a bar fully lit; it holds no black pixel, so a level
// drawn over it in black always shows.
QImage meterBar();

// The five panel buttons, in the order of the button array.
enum class Button { Play = 1, Stop, Open, Save, Settings };
// 16 x 16, 16 colours (an indexed image whose table is the standard 16-colour palette).
QImage buttonPicture(Button which);

// The mark over the panel button that has the keyboard focus, size of the
// button: a ring in the meter's amber along its edge, transparent inside so
// the button's picture stays as it is.
QImage focusMark(QSize size);

// The 16-colour palette the button pictures are drawn in.
QList<QRgb> sixteenColours();

} // namespace tambolin::artwork
