#include "control/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <functional>

namespace tambolin::artwork {

namespace {

// Indices into the 16-colour palette.
enum Colour : uint {
    Black = 0,
    Maroon,
    Green,
    Olive,
    Navy,
    Purple,
    Teal,
    Silver,
    Grey,
    Red,
    Lime,
    Yellow,
    Blue,
    Fuchsia,
    Aqua,
    White
};

// The button pictures' transparent key: fuchsia, which no picture uses.
constexpr uint kKey = Fuchsia;

using Inside = std::function<bool(double x, double y)>;

// Fills a shape given by its pixel-centre test; the pixels on its edge take
// the outline colour, so every shape reads clearly at 16 x 16.
void paintShape(QImage &img, const Inside &inside, uint fill, uint outline) {
    auto in = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < img.width() && y < img.height() && inside(x + 0.5, y + 0.5);
    };
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (!in(x, y))
                continue;
            const bool edge = !in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1);
            img.setPixel(x, y, edge ? outline : fill);
        }
}

void fillRect(QImage &img, int x0, int y0, int x1, int y1, uint colour) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            img.setPixel(x, y, colour);
}

bool inRect(double x, double y, double x0, double y0, double x1, double y1) {
    return x >= x0 && x <= x1 && y >= y0 && y <= y1;
}

void drawPlay(QImage &img) {
    // A triangle pointing right, its apex on the middle row.
    paintShape(
        img,
        [](double x, double y) { return x >= 3.5 && std::abs(y - 8.0) <= 6.5 * (13.0 - x) / 9.5; },
        Lime, Green);
}

void drawStop(QImage &img) {
    paintShape(
        img, [](double x, double y) { return inRect(x, y, 3, 3, 13, 13); }, Red, Maroon);
    fillRect(img, 4, 4, 11, 4, White); // a glint along the top
}

void drawOpen(QImage &img) {
    // A folder: the tab, then the body.
    paintShape(
        img,
        [](double x, double y) { return inRect(x, y, 1, 2, 7, 5) || inRect(x, y, 1, 4, 15, 14); },
        Yellow, Olive);
    fillRect(img, 2, 5, 13, 5, White);
}

void drawSave(QImage &img) {
    // A diskette: body with a cut corner, the metal shutter and the label.
    paintShape(
        img, [](double x, double y) { return inRect(x, y, 1, 1, 15, 15) && (x - y) < 11.5; }, Navy,
        Black);
    fillRect(img, 4, 2, 10, 5, Silver);
    fillRect(img, 8, 3, 9, 4, Navy);
    fillRect(img, 3, 9, 12, 13, White);
    fillRect(img, 4, 10, 11, 10, Grey);
    fillRect(img, 4, 12, 11, 12, Grey);
}

void drawSettings(QImage &img) {
    // A gear of eight teeth around a hole.
    constexpr double pi = 3.14159265358979323846;
    paintShape(
        img,
        [](double x, double y) {
            const double dx = x - 8.0, dy = y - 8.0;
            const double r = std::hypot(dx, dy);
            if (r < 2.3)
                return false;
            if (r < 5.3)
                return true;
            const double a = std::atan2(dy, dx);
            const double toothPhase = std::fmod(a + pi + pi / 8.0, pi / 4.0);
            return r < 7.6 && std::abs(toothPhase - pi / 8.0) < 0.26;
        },
        Silver, Black);
    // Shade the lower right half so the gear looks round.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (img.pixelIndex(x, y) == Silver && x + y > 17)
                img.setPixel(x, y, Grey);
}

} // namespace

QList<QRgb> sixteenColours() {
    return {qRgb(0x00, 0x00, 0x00), qRgb(0x80, 0x00, 0x00), qRgb(0x00, 0x80, 0x00),
            qRgb(0x80, 0x80, 0x00), qRgb(0x00, 0x00, 0x80), qRgb(0x80, 0x00, 0x80),
            qRgb(0x00, 0x80, 0x80), qRgb(0xC0, 0xC0, 0xC0), qRgb(0x80, 0x80, 0x80),
            qRgb(0xFF, 0x00, 0x00), qRgb(0x00, 0xFF, 0x00), qRgb(0xFF, 0xFF, 0x00),
            qRgb(0x00, 0x00, 0xFF), qRgb(0xFF, 0x00, 0xFF), qRgb(0x00, 0xFF, 0xFF),
            qRgb(0xFF, 0xFF, 0xFF)};
}

QImage buttonPicture(Button which) {
    QImage img(16, 16, QImage::Format_Indexed8);
    img.setColorTable(sixteenColours());
    img.fill(kKey);
    switch (which) {
    case Button::Play:
        drawPlay(img);
        break;
    case Button::Stop:
        drawStop(img);
        break;
    case Button::Open:
        drawOpen(img);
        break;
    case Button::Save:
        drawSave(img);
        break;
    case Button::Settings:
        drawSettings(img);
        break;
    }
    return img;
}

QImage background() {
    QImage img(kPanelWidth, kPanelHeight, QImage::Format_RGB888);
    QPainter p(&img);
    QLinearGradient face(0, 0, 0, kPanelHeight);
    face.setColorAt(0.0, QColor(0x46, 0x52, 0x62));
    face.setColorAt(1.0, QColor(0x22, 0x2a, 0x34));
    p.fillRect(img.rect(), face);

    // Raised outer edge.
    p.setPen(QColor(0x6a, 0x78, 0x8a));
    p.drawLine(0, 0, kPanelWidth - 1, 0);
    p.drawLine(0, 0, 0, kPanelHeight - 1);
    p.setPen(QColor(0x12, 0x17, 0x1d));
    p.drawLine(0, kPanelHeight - 1, kPanelWidth - 1, kPanelHeight - 1);
    p.drawLine(kPanelWidth - 1, 0, kPanelWidth - 1, kPanelHeight - 1);

    // Sunken wells behind the title strip and the meter.
    auto well = [&p](QRect r) {
        p.setPen(QColor(0x14, 0x19, 0x20));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(QColor(0x78, 0x86, 0x98));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    };
    well(QRect(2, 2, 156, 18));
    well(QRect(5, 21, 151, 23));

    // An eighth note beside the buttons, and a groove under them.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8c, 0x9c, 0xb0));
    p.drawEllipse(QRectF(134, 63, 8, 6));
    p.fillRect(QRectF(140.5, 49, 1.6, 17), QColor(0x8c, 0x9c, 0xb0));
    QPainterPath flag;
    flag.moveTo(142, 49);
    flag.cubicTo(146, 52, 150, 54, 147, 60);
    flag.cubicTo(148, 55, 145, 54, 142, 53.5);
    flag.closeSubpath();
    p.drawPath(flag);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(0x1a, 0x20, 0x28));
    p.drawLine(6, 77, 153, 77);
    p.setPen(QColor(0x58, 0x66, 0x76));
    p.drawLine(6, 78, 153, 78);
    return img;
}

QImage titleStrip() {
    QImage img(154, 16, QImage::Format_RGB888);
    QPainter p(&img);
    QLinearGradient lcd(0, 0, 0, 16);
    lcd.setColorAt(0.0, QColor(0xdc, 0xec, 0xcc));
    lcd.setColorAt(1.0, QColor(0xb2, 0xca, 0x9a));
    p.fillRect(img.rect(), lcd);
    p.setPen(QColor(0x9a, 0xb2, 0x84));
    p.drawLine(0, 0, 153, 0);
    return img;
}

QImage focusMark(QSize size) {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    if (size.width() < 4 || size.height() < 4)
        return img;
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Two pixels wide over the button's dark border: against the dark panel
    // the amber reads at a glance, while the face and picture stay clear.
    QPen ring(QColor(0xf0, 0xd2, 0x2e), 2.0);
    p.setPen(ring);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1.0, 1.0, size.width() - 2.0, size.height() - 2.0), 3.0, 3.0);
    return img;
}

QImage meterBar() {
    QImage img(143, 3, QImage::Format_RGB888);
    for (int x = 0; x < 143; ++x) {
        // Green through yellow to red along the bar.
        const double t = x / 142.0;
        QColor c;
        if (t < 0.6)
            c = QColor(0x2e, 0xd0, 0x52);
        else if (t < 0.85)
            c = QColor(0xf0, 0xd2, 0x2e);
        else
            c = QColor(0xf2, 0x44, 0x30);
        img.setPixelColor(x, 0, c.lighter(125));
        img.setPixelColor(x, 1, c);
        img.setPixelColor(x, 2, c.darker(125));
    }
    return img;
}

} // namespace tambolin::artwork
