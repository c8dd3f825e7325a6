#pragma once
// Draws a melody's roll: time left to right with a light line every so many
// seconds, pitch bottom to top with a line under every C, one colour per
// part. A picture adds the title, a legend and the axis labels; a small
// thumbnail is the roll alone. The same model draws the same pixels.

#include "roll/roll_geometry.h"
#include "roll/roll_model.h"

#include <QColor>
#include <QRect>
#include <QSize>

class QPainter;

namespace tambolin::roll {

struct RollLook {
    bool title = true;  // the title above the roll
    bool legend = true; // a colour swatch and name for every part that sounds
    bool axes = true;   // seconds under the roll, octave names beside it
    int margin = 12;    // around everything, in pixels
    int fontPx = 13;    // text size, in pixels; the title is half as large again

    // A picture of width x height, text scaled to it.
    static RollLook picture(const QSize &size);
    // A square thumbnail: no text below 128 pixels, the roll filling the square.
    static RollLook thumbnail(int size);
};

struct RollLayout {
    QRect titleBox;  // empty without a title
    QRect legendBox; // empty without a legend
    QRect plot;      // where the bars go
};

class RollPainter final {
public:
    RollPainter(RollModel model, RollLook look);

    RollLayout layout(const QSize &size) const;
    // The mapping of time and pitch for a picture of this size: the whole
    // melody over the plot's width, at least an octave over its height.
    RollGeometry geometry(const QSize &size) const;
    // Draws a picture of this size with its top left corner at the painter's
    // origin; everything it changes on the painter is restored.
    void paint(QPainter &painter, const QSize &size) const;

    // The colour of part 1, 2 or 3 (any other number: part 1's).
    static QColor partColour(int part);

    const RollModel &model() const { return m_model; }
    const RollLook &look() const { return m_look; }

private:
    void paintGrid(QPainter &painter, const RollGeometry &geometry, const QSize &size) const;
    void paintBars(QPainter &painter, const RollGeometry &geometry) const;
    void paintTitle(QPainter &painter, const RollLayout &layout) const;
    void paintLegend(QPainter &painter, const RollLayout &layout) const;

    RollModel m_model;
    RollLook m_look;
    QString m_title; // the title with control characters made spaces
};

} // namespace tambolin::roll
