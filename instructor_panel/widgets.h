// The building blocks of the panel's pages: filled shapes and pictures that
// carry an integer tag (the component's index or failure bit) and report a
// mouse press, clickable labels, and the canvas that draws the fixed lines,
// frames and captions of a schematic underneath them.
#pragma once

#include <QColor>
#include <QLabel>
#include <QPolygon>
#include <QPolygonF>
#include <QString>
#include <QWidget>
#include <vector>

namespace rizezo {

// The integer tag every component carries (0 when it carries none).
int Tag(const QObject* object);
void SetTag(QObject* object, int tag);

// Colours of the panel, as the pages use them.
namespace colours {
inline const QColor kFailed{0xFF, 0x00, 0x00};         // red
inline const QColor kAvailable{0x00, 0xFF, 0x00};      // lime
inline const QColor kIdle{0x80, 0x80, 0x80};           // gray
inline const QColor kHydraulicIdle{0x00, 0x80, 0x80};  // teal
inline const QColor kSelected{0xFF, 0xFF, 0xFF};       // white
inline const QColor kButtonFace{0xF0, 0xF0, 0xF0};     // the dialog face
inline const QColor kWire{0x30, 0x30, 0x30};           // fixed wiring and outlines
inline const QColor kOil{0xC8, 0x96, 0x00};            // oil levels

// The outline that marks the selected component, drawn inside its edge: blue.
inline const QColor kSelectionOutline{0x00, 0x48, 0xE0};
}  // namespace colours

// The width of the selection outline, in pixels.
inline constexpr int kSelectionOutlineWidth = 3;

enum class ShapeKind { Rectangle, RoundRect, Ellipse, Capsule };

// A filled figure with an outline and an optional caption drawn on it.
class TagShape : public QWidget {
    Q_OBJECT
  public:
    TagShape(QWidget* parent, const QString& name, int tag, ShapeKind kind, const QRect& geometry,
             const QString& caption = {});

    QColor BrushColour() const { return brush_; }
    void SetBrushColour(const QColor& colour);
    // The selected component is outlined.
    bool Selected() const { return selected_; }
    void SetSelected(bool selected);

  signals:
    void mouseDown(QObject* sender);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    ShapeKind kind_;
    QColor brush_ = colours::kButtonFace;
    bool selected_ = false;
    QString caption_;
};

enum class PictureKind {
    RelayClosed,
    RelayOpen,
    SwitchClosed,
    SwitchOpen,
    BreakerClosed,
    BreakerOpen,
    SelectorCentre,
    SelectorRight,
    SelectorLeft,
    ValveClosed,
    ValveOpen,
    Arrow,
    Surface,  // a flight-control surface: the outline filled with the picture's colour
};

// A drawn picture: relays and switches open and closed, valves, the PTU
// arrow and the flight-control surfaces in their colours. Relays, switches,
// valves and arrows lie horizontally unless made vertical.
class Picture : public QWidget {
    Q_OBJECT
  public:
    Picture(QWidget* parent, const QString& name, int tag, PictureKind kind, const QRect& geometry,
            Qt::Orientation orientation = Qt::Horizontal);

    // For surfaces: the outline in the picture's own coordinates and its colour.
    void SetOutline(const QPolygonF& outline, const QColor& fill);
    // For surfaces: the selected surface is outlined.
    bool Selected() const { return selected_; }
    void SetSelected(bool selected);

  signals:
    void mouseDown(QObject* sender);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    PictureKind kind_;
    Qt::Orientation orientation_;
    QPolygonF outline_;
    QColor fill_ = colours::kIdle;
    bool selected_ = false;
};

// A label that reports a mouse press.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    ClickLabel(QWidget* parent, const QString& name, int tag, const QString& text,
               const QRect& geometry);

  signals:
    void mouseDown(QObject* sender);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// Draws a page's fixed lines, frames and captions beneath its components;
// passes every mouse press through.
class SchematicCanvas : public QWidget {
    Q_OBJECT
  public:
    explicit SchematicCanvas(QWidget* parent);

    void Line(std::vector<QPoint> points, const QColor& colour = colours::kWire, int width = 2);
    void Frame(const QRect& rect, const QString& title = {});
    void Text(const QRect& rect, const QString& text, int flags = Qt::AlignCenter,
              bool bold = false, int pixel_size = 11, const QColor& colour = colours::kWire);
    void Dot(const QPoint& centre, const QColor& colour = colours::kWire);
    // A filled outline (airframe parts, symbols) drawn under the lines.
    void Polygon(const QPolygon& outline, const QColor& fill, const QColor& pen = colours::kWire);
    void Ellipse(const QRect& rect, const QColor& fill, const QColor& pen = colours::kWire);
    // A colour sample of the legend; `selection` draws it as the selected
    // component is drawn, outlined.
    void Swatch(const QRect& rect, const QColor& fill, bool selection = false);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    struct Polyline {
        std::vector<QPoint> points;
        QColor colour;
        int width;
    };
    struct Caption {
        QRect rect;
        QString text;
        int flags;
        bool bold;
        int pixel_size;
        QColor colour;
    };
    struct Box {
        QRect rect;
        QString title;
    };
    struct Fill {
        QPolygon outline;
        QRect ellipse;  // used when the outline is empty
        QColor fill;
        QColor pen;
        int pen_width = 1;
    };
    std::vector<Box> frames_;
    std::vector<Fill> fills_;
    std::vector<Polyline> lines_;
    std::vector<Caption> captions_;
    std::vector<std::pair<QPoint, QColor>> dots_;
};

}  // namespace rizezo
