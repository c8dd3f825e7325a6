#include "roll/roll_painter.h"

#include "control/design_font.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>

namespace tambolin::roll {

namespace {

// Told apart by people with any common colour blindness.
constexpr QRgb PartColours[PartCount] = {0xffd55e00, 0xff0072b2, 0xff009e73};
constexpr QRgb Paper = 0xffffffff;
constexpr QRgb PlotPaper = 0xfff7f7f7;
constexpr QRgb SecondLine = 0xffe2e2e2;
constexpr QRgb OctaveLine = 0xffd0d0d0;
constexpr QRgb TitleInk = 0xff202020;
constexpr QRgb LabelInk = 0xff606060;

constexpr int SmallestTextThumbnail = 128;
constexpr int FirstKey = 48; // the MIDI key of pitch 0

// Seconds between grid lines, the first one that leaves enough room.
constexpr int GridSteps[] = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 1800, 3600};

int floorDiv(int a, int b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

QFont textFont(int px, bool bold) {
    QFont font = designFont(9, bold);
    font.setPixelSize(std::max(px, 1));
    return font;
}

QString legendName(int part) {
    return QStringLiteral("Part ") + QString::number(part);
}

// A title is the file's own text: no control character reaches the picture.
QString printableTitle(const QString &title) {
    QString out = title;
    for (QChar &c : out)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    return out.trimmed();
}

} // namespace

RollLook RollLook::picture(const QSize &size) {
    RollLook look;
    const int shorter = std::min(size.width(), size.height());
    look.fontPx = std::clamp(shorter / 30, 10, 24);
    look.margin = std::clamp(shorter / 32, 6, 24);
    return look;
}

RollLook RollLook::thumbnail(int size) {
    RollLook look;
    look.legend = false;
    look.axes = false;
    look.title = size >= SmallestTextThumbnail;
    look.margin = std::max(1, size / 32);
    look.fontPx = std::max(1, size / 14);
    return look;
}

RollPainter::RollPainter(RollModel model, RollLook look)
    : m_model(std::move(model)), m_look(look), m_title(printableTitle(m_model.title)) {}

QColor RollPainter::partColour(int part) {
    return QColor::fromRgb(PartColours[(part >= 1 && part <= PartCount) ? part - 1 : 0]);
}

RollLayout RollPainter::layout(const QSize &size) const {
    RollLayout out;
    const int m = m_look.margin;
    const int w = size.width();
    const int h = size.height();
    int top = m;
    if (m_look.title || m_look.legend) {
        const QFontMetrics title(textFont(m_look.fontPx * 3 / 2, true));
        const QFontMetrics label(textFont(m_look.fontPx, false));
        const int band = title.height() + m_look.fontPx / 4;
        int legendWidth = 0;
        if (m_look.legend) {
            for (int part = 1; part <= PartCount; ++part)
                if (!m_model.parts[static_cast<std::size_t>(part - 1)].notes.empty())
                    legendWidth += m_look.fontPx * 2 + label.horizontalAdvance(legendName(part));
            out.legendBox = QRect(w - m - legendWidth, m, legendWidth, band);
        }
        if (m_look.title)
            out.titleBox = QRect(m, m, std::max(0, w - 2 * m - legendWidth), band);
        top = m + band + std::max(1, m / 2);
    }
    int left = m;
    int bottom = h - m;
    if (m_look.axes) {
        const QFontMetrics label(textFont(m_look.fontPx, false));
        left += label.horizontalAdvance(QStringLiteral("C10")) + m_look.fontPx / 2;
        bottom -= label.height() + m_look.fontPx / 4;
    }
    const int right = w - m;
    out.plot = QRect(left, top, std::max(1, right - left), std::max(1, bottom - top));
    return out;
}

RollGeometry RollPainter::geometry(const QSize &size) const {
    int low = m_model.lowPitch;
    int high = m_model.highPitch;
    widenToOctave(low, high);
    return RollGeometry(layout(size).plot, m_model.lengthMs, low, high);
}

void RollPainter::paint(QPainter &painter, const QSize &size) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(QRect(QPoint(0, 0), size), QColor::fromRgb(Paper));
    const RollLayout layout = this->layout(size);
    const RollGeometry geometry = this->geometry(size);
    painter.fillRect(layout.plot, QColor::fromRgb(PlotPaper));
    paintGrid(painter, geometry, size);
    paintBars(painter, geometry);
    if (m_look.title)
        paintTitle(painter, layout);
    if (m_look.legend)
        paintLegend(painter, layout);
    painter.restore();
}

void RollPainter::paintGrid(QPainter &painter, const RollGeometry &geometry,
                            const QSize &size) const {
    const QRect &plot = geometry.plot();
    // Fonts only where labels are drawn: a small thumbnail never loads one.
    std::optional<QFontMetrics> metrics;
    if (m_look.axes) {
        const QFont font = textFont(m_look.fontPx, false);
        metrics.emplace(font);
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(LabelInk));
    }

    // Seconds: a line where each step ends; labels under the plot.
    const double pxPerSecond = plot.width() * 1000.0 / static_cast<double>(geometry.spanMs());
    const int roomPx = metrics ? metrics->horizontalAdvance(QStringLiteral("000 s")) + 8
                               : std::max(6, plot.width() / 12);
    const int *step = std::find_if(std::begin(GridSteps), std::end(GridSteps),
                                   [&](int s) { return s * pxPerSecond >= roomPx; });
    if (step != std::end(GridSteps)) {
        const std::int64_t stepMs = *step * 1000LL;
        for (std::int64_t t = 0; t <= geometry.spanMs(); t += stepMs) {
            const int x = geometry.x(t);
            if (t > 0 && x < plot.right())
                painter.fillRect(QRect(x, plot.top(), 1, plot.height()),
                                 QColor::fromRgb(SecondLine));
            if (!metrics)
                continue;
            const QString text = QString::number(t / 1000) + QStringLiteral(" s");
            const int width = metrics->horizontalAdvance(text);
            if (x + (width + 1) / 2 <= size.width())
                painter.drawText(QRect(x - width / 2, plot.bottom() + 2, width, metrics->height()),
                                 Qt::AlignCenter | Qt::TextSingleLine, text);
        }
    }

    // Octaves: a line under every C, named beside the plot where there is room.
    const double rowPx =
        plot.height() / (static_cast<double>(geometry.highPitch()) - geometry.lowPitch() + 1);
    if (rowPx * 12 < 3)
        return;
    const bool named = metrics && rowPx * 12 >= metrics->height();
    for (int p = geometry.lowPitch(); p <= geometry.highPitch(); ++p) {
        if (floorDiv(p, 12) * 12 != p)
            continue;
        const int y = geometry.rowBottom(p) - 1;
        if (p != geometry.lowPitch())
            painter.fillRect(QRect(plot.left(), y, plot.width(), 1), QColor::fromRgb(OctaveLine));
        if (named) {
            const QString text =
                QStringLiteral("C") + QString::number(floorDiv(FirstKey + p, 12) - 1);
            const int top = geometry.rowTop(p);
            painter.drawText(QRect(m_look.margin, top + (y + 1 - top - metrics->height()) / 2,
                                   plot.left() - m_look.margin - m_look.fontPx / 4,
                                   metrics->height()),
                             Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, text);
        }
    }
}

void RollPainter::paintBars(QPainter &painter, const RollGeometry &geometry) const {
    // Part 1 last: where voices meet, the melody stays on top.
    for (int part = PartCount; part >= 1; --part) {
        const QColor colour = partColour(part);
        for (const RollNote &note : m_model.parts[static_cast<std::size_t>(part - 1)].notes)
            painter.fillRect(geometry.bar(note), colour);
    }
}

void RollPainter::paintTitle(QPainter &painter, const RollLayout &layout) const {
    if (m_title.isEmpty() || layout.titleBox.width() <= 0)
        return;
    const QFont font = textFont(m_look.fontPx * 3 / 2, true);
    const QFontMetrics metrics(font);
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(TitleInk));
    const QString shown = metrics.elidedText(m_title, Qt::ElideRight, layout.titleBox.width());
    painter.drawText(layout.titleBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

void RollPainter::paintLegend(QPainter &painter, const RollLayout &layout) const {
    const QFont font = textFont(m_look.fontPx, false);
    const QFontMetrics metrics(font);
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(LabelInk));
    const int swatch = std::max(1, m_look.fontPx * 3 / 4);
    int x = layout.legendBox.left();
    for (int part = 1; part <= PartCount; ++part) {
        if (m_model.parts[static_cast<std::size_t>(part - 1)].notes.empty())
            continue;
        const int mid = layout.legendBox.center().y();
        painter.fillRect(QRect(x + m_look.fontPx / 2, mid - swatch / 2, swatch, swatch),
                         partColour(part));
        const QString name = legendName(part);
        const int width = metrics.horizontalAdvance(name);
        painter.drawText(QRect(x + m_look.fontPx * 3 / 2, layout.legendBox.top(), width + 1,
                               layout.legendBox.height()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
        x += m_look.fontPx * 2 + width;
    }
}

} // namespace tambolin::roll
