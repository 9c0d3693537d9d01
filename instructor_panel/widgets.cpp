#include "widgets.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QVariant>
#include <algorithm>
#include <utility>

namespace rizezo {

namespace {

constexpr char kTagProperty[] = "Tag";

bool IsDark(const QColor& colour) {
    return 0.299 * colour.red() + 0.587 * colour.green() + 0.114 * colour.blue() < 110.0;
}

QFont PixelFont(int pixel_size, bool bold) {
    QFont font;
    font.setPixelSize(pixel_size);
    font.setBold(bold);
    return font;
}

// The selection outline along the inside of a figure's edge.
void DrawSelectionOutline(QPainter& painter, const QPainterPath& figure) {
    painter.save();
    painter.setClipPath(figure, Qt::IntersectClip);
    painter.strokePath(figure, QPen(colours::kSelectionOutline, 2 * kSelectionOutlineWidth));
    painter.restore();
}

// Two contact terminals on the middle line of a horizontal picture.
void Terminals(QPainter& painter, double w, double h, double inset) {
    painter.setBrush(colours::kWire);
    painter.drawEllipse(QPointF(inset, h / 2), 2.5, 2.5);
    painter.drawEllipse(QPointF(w - inset, h / 2), 2.5, 2.5);
}

// Contacts of relays, switches and breakers: green while closed, the idle
// gray while open. Red is the legend's "failed" and means nothing else; a
// position is not a failure.
QColor ContactColour(bool closed) {
    return closed ? QColor(0x00, 0x90, 0x00) : colours::kIdle;
}

void DrawRelay(QPainter& painter, double w, double h, bool closed) {
    painter.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
    painter.setPen(QPen(colours::kWire, 1.5));
    painter.drawLine(QPointF(0, h / 2), QPointF(4, h / 2));
    painter.drawLine(QPointF(w - 4, h / 2), QPointF(w, h / 2));
    Terminals(painter, w, h, 5);
    painter.setPen(QPen(ContactColour(closed), 2.2, Qt::SolidLine, Qt::RoundCap));
    if (closed) {
        painter.drawLine(QPointF(5, h / 2), QPointF(w - 5, h / 2));
    } else {
        painter.drawLine(QPointF(5, h / 2), QPointF(w - 7, 3));
    }
}

void DrawSwitch(QPainter& painter, double w, double h, bool closed) {
    painter.setPen(QPen(colours::kWire, 1.5));
    painter.drawLine(QPointF(0, h / 2), QPointF(4, h / 2));
    painter.drawLine(QPointF(w - 4, h / 2), QPointF(w, h / 2));
    Terminals(painter, w, h, 4);
    painter.setPen(QPen(colours::kWire, 2.2, Qt::SolidLine, Qt::RoundCap));
    const QPointF pivot(4, h / 2);
    const QPointF tip = closed ? QPointF(w - 4, h / 2) : QPointF(w - 7, 2);
    painter.drawLine(pivot, tip);
    painter.setBrush(ContactColour(closed));
    painter.setPen(Qt::NoPen);
    const QPointF knob = pivot + (tip - pivot) * 0.55;
    painter.drawEllipse(knob, 2.8, 2.8);
}

void DrawBreaker(QPainter& painter, double w, double h, bool closed) {
    painter.setPen(QPen(colours::kWire, 1.5));
    painter.drawLine(QPointF(0, h / 2), QPointF(4, h / 2));
    painter.drawLine(QPointF(w - 4, h / 2), QPointF(w, h / 2));
    Terminals(painter, w, h, 4);
    QPainterPath arc;
    const double lift = closed ? 0.0 : h * 0.22;
    arc.moveTo(4, h / 2 - lift);
    arc.quadTo(w / 2, h * 0.05 - lift, w - 4, h / 2 - lift);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ContactColour(closed), 2.2));
    painter.drawPath(arc);
}

void DrawSelector(QPainter& painter, double w, double h, PictureKind kind) {
    const QPointF centre(w / 2, h / 2 + 3);
    const double r = std::min(w, h) / 2 - 5;
    painter.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre, r, r);
    const QPointF left = centre + QPointF(-r, 0);
    const QPointF up = centre + QPointF(0, -r);
    const QPointF right = centre + QPointF(r, 0);
    painter.setBrush(colours::kWire);
    for (const QPointF& p : {left, up, right}) painter.drawEllipse(p, 2.2, 2.2);
    const QPointF target = kind == PictureKind::SelectorLeft    ? left
                           : kind == PictureKind::SelectorRight ? right
                                                                : up;
    painter.setPen(QPen(QColor(0x00, 0x70, 0x00), 2.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, target);
    painter.setBrush(colours::kWire);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(centre, 2.5, 2.5);
}

void DrawValve(QPainter& painter, double w, double h, bool closed) {
    const QColor pipe = colours::kHydraulicIdle;
    painter.setPen(QPen(pipe, 4, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(0, h / 2), QPointF(w / 2 - 7, h / 2));
    painter.drawLine(QPointF(w / 2 + 7, h / 2), QPointF(w, h / 2));
    QPolygonF bowtie;
    bowtie << QPointF(w / 2 - 7, h / 2 - 6) << QPointF(w / 2 + 7, h / 2 + 6)
           << QPointF(w / 2 + 7, h / 2 - 6) << QPointF(w / 2 - 7, h / 2 + 6);
    painter.setPen(QPen(colours::kWire, 1.2));
    // A closed valve is dark, not red: red is kept for failures.
    painter.setBrush(closed ? colours::kWire : QColor(Qt::white));
    painter.drawPolygon(bowtie);
    if (closed) {
        painter.setPen(QPen(colours::kWire, 2));
        painter.drawLine(QPointF(w / 2, h / 2 - 9), QPointF(w / 2, h / 2 + 9));
    } else {
        painter.setPen(QPen(pipe, 2));
        painter.drawLine(QPointF(w / 2 - 7, h / 2), QPointF(w / 2 + 7, h / 2));
    }
}

void DrawArrow(QPainter& painter, double w, double h) {
    QPolygonF arrow;
    const double shaft = h * 0.22;
    const double head = std::min(w * 0.4, h * 1.0);
    arrow << QPointF(0, h / 2 - shaft) << QPointF(w - head, h / 2 - shaft) << QPointF(w - head, 1)
          << QPointF(w - 1, h / 2) << QPointF(w - head, h - 1) << QPointF(w - head, h / 2 + shaft)
          << QPointF(0, h / 2 + shaft);
    painter.setPen(QPen(QColor(0x00, 0x60, 0x00), 1));
    painter.setBrush(colours::kAvailable);
    painter.drawPolygon(arrow);
}

}  // namespace

int Tag(const QObject* object) {
    return object != nullptr ? object->property(kTagProperty).toInt() : 0;
}

void SetTag(QObject* object, int tag) {
    object->setProperty(kTagProperty, tag);
}

// ---------------------------------------------------------------------------

TagShape::TagShape(QWidget* parent, const QString& name, int tag, ShapeKind kind,
                   const QRect& geometry, const QString& caption)
    : QWidget(parent), kind_(kind), caption_(caption) {
    setObjectName(name);
    SetTag(this, tag);
    setGeometry(geometry);
    setToolTip(caption.isEmpty() ? QString() : QString(caption).replace('\n', ' '));
}

void TagShape::SetBrushColour(const QColor& colour) {
    if (brush_ == colour) return;
    brush_ = colour;
    update();
}

void TagShape::SetSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    update();
}

void TagShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colours::kWire, 1));
    painter.setBrush(brush_);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath figure;
    switch (kind_) {
        case ShapeKind::Rectangle:
            painter.drawRect(r);
            figure.addRect(r);
            break;
        case ShapeKind::RoundRect:
            painter.drawRoundedRect(r, 5, 5);
            figure.addRoundedRect(r, 5, 5);
            break;
        case ShapeKind::Ellipse:
            painter.drawEllipse(r);
            figure.addEllipse(r);
            break;
        case ShapeKind::Capsule: {
            const double radius = std::min(r.width(), r.height()) / 2.0;
            painter.drawRoundedRect(r, radius, radius);
            figure.addRoundedRect(r, radius, radius);
            break;
        }
    }
    if (selected_) DrawSelectionOutline(painter, figure);
    if (!caption_.isEmpty()) {
        painter.setPen(IsDark(brush_) ? Qt::white : Qt::black);
        // The caption's longest word fits the box's width: a face whose
        // letters run wide is set a size or two smaller, never cut.
        const QRect box = rect().adjusted(2, 1, -2, -1);
        QFont font = PixelFont(10, true);
        for (int size = 10; size > 7; --size) {
            font = PixelFont(size, true);
            const QFontMetrics metrics(font);
            int widest = 0;
            for (const QString& word : caption_.split(QRegularExpression("\\s+"))) {
                widest = std::max(widest, metrics.horizontalAdvance(word));
            }
            if (widest <= box.width()) break;
        }
        painter.setFont(font);
        painter.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, caption_);
    }
}

void TagShape::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit mouseDown(this);
}

// ---------------------------------------------------------------------------

Picture::Picture(QWidget* parent, const QString& name, int tag, PictureKind kind,
                 const QRect& geometry, Qt::Orientation orientation)
    : QWidget(parent), kind_(kind), orientation_(orientation) {
    setObjectName(name);
    SetTag(this, tag);
    setGeometry(geometry);
}

void Picture::SetOutline(const QPolygonF& outline, const QColor& fill) {
    outline_ = outline;
    fill_ = fill;
    update();
}

void Picture::SetSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    update();
}

void Picture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    double w = width();
    double h = height();
    if (orientation_ == Qt::Vertical && kind_ != PictureKind::Surface) {
        // Drawn as the horizontal picture turned a quarter clockwise.
        painter.translate(w, 0);
        painter.rotate(90);
        std::swap(w, h);
    }
    switch (kind_) {
        case PictureKind::RelayClosed:
        case PictureKind::RelayOpen:
            DrawRelay(painter, w, h, kind_ == PictureKind::RelayClosed);
            break;
        case PictureKind::SwitchClosed:
        case PictureKind::SwitchOpen:
            DrawSwitch(painter, w, h, kind_ == PictureKind::SwitchClosed);
            break;
        case PictureKind::BreakerClosed:
        case PictureKind::BreakerOpen:
            DrawBreaker(painter, w, h, kind_ == PictureKind::BreakerClosed);
            break;
        case PictureKind::SelectorCentre:
        case PictureKind::SelectorRight:
        case PictureKind::SelectorLeft:
            DrawSelector(painter, w, h, kind_);
            break;
        case PictureKind::ValveClosed:
        case PictureKind::ValveOpen:
            DrawValve(painter, w, h, kind_ == PictureKind::ValveClosed);
            break;
        case PictureKind::Arrow:
            DrawArrow(painter, w, h);
            break;
        case PictureKind::Surface:
            painter.setPen(QPen(colours::kWire, 1));
            painter.setBrush(fill_);
            painter.drawPolygon(outline_);
            if (selected_) {
                QPainterPath figure;
                figure.addPolygon(outline_);
                figure.closeSubpath();
                DrawSelectionOutline(painter, figure);
            }
            break;
    }
}

void Picture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit mouseDown(this);
}

// ---------------------------------------------------------------------------

ClickLabel::ClickLabel(QWidget* parent, const QString& name, int tag, const QString& text,
                       const QRect& geometry)
    : QLabel(text, parent) {
    setObjectName(name);
    SetTag(this, tag);
    setGeometry(geometry);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit mouseDown(this);
}

// ---------------------------------------------------------------------------

SchematicCanvas::SchematicCanvas(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (parent != nullptr) setGeometry(parent->rect());
}

void SchematicCanvas::Line(std::vector<QPoint> points, const QColor& colour, int width) {
    lines_.push_back({std::move(points), colour, width});
}

void SchematicCanvas::Frame(const QRect& rect, const QString& title) {
    frames_.push_back({rect, title});
}

void SchematicCanvas::Text(const QRect& rect, const QString& text, int flags, bool bold,
                           int pixel_size, const QColor& colour) {
    captions_.push_back({rect, text, flags, bold, pixel_size, colour});
}

void SchematicCanvas::Dot(const QPoint& centre, const QColor& colour) {
    dots_.emplace_back(centre, colour);
}

void SchematicCanvas::Polygon(const QPolygon& outline, const QColor& fill, const QColor& pen) {
    fills_.push_back({outline, {}, fill, pen});
}

void SchematicCanvas::Ellipse(const QRect& rect, const QColor& fill, const QColor& pen) {
    fills_.push_back({{}, rect, fill, pen});
}

void SchematicCanvas::Swatch(const QRect& rect, const QColor& fill, bool selection) {
    if (selection) {
        fills_.push_back(
            {QPolygon(QRect(rect.topLeft() + QPoint(1, 1), rect.size() - QSize(1, 1)), true),
             {},
             fill,
             colours::kSelectionOutline,
             2});
        return;
    }
    fills_.push_back({QPolygon(QRect(rect.topLeft(), rect.size() - QSize(1, 1)), true),
                      {},
                      fill,
                      colours::kWire});
}

void SchematicCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Box& box : frames_) {
        painter.setPen(QPen(QColor(0xA8, 0xA8, 0xA8), 1));
        painter.setBrush(QColor(0xF8, 0xF8, 0xF8));
        painter.drawRoundedRect(QRectF(box.rect).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        if (!box.title.isEmpty()) {
            painter.setFont(PixelFont(11, true));
            painter.setPen(QColor(0x40, 0x40, 0x40));
            painter.drawText(box.rect.adjusted(8, 3, -8, 0), Qt::AlignLeft | Qt::AlignTop,
                             box.title);
        }
    }
    for (const Fill& fill : fills_) {
        painter.setPen(QPen(fill.pen, fill.pen_width));
        painter.setBrush(fill.fill);
        if (fill.outline.isEmpty()) {
            painter.drawEllipse(fill.ellipse);
        } else {
            painter.drawPolygon(fill.outline);
        }
    }
    painter.setBrush(Qt::NoBrush);
    for (const Polyline& line : lines_) {
        painter.setPen(QPen(line.colour, line.width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.drawPolyline(line.points.data(), static_cast<int>(line.points.size()));
    }
    painter.setPen(Qt::NoPen);
    for (const auto& [centre, colour] : dots_) {
        painter.setBrush(colour);
        painter.drawEllipse(QPointF(centre), 3.0, 3.0);
    }
    for (const Caption& caption : captions_) {
        painter.setFont(PixelFont(caption.pixel_size, caption.bold));
        painter.setPen(caption.colour);
        painter.drawText(caption.rect, caption.flags, caption.text);
    }
}

}  // namespace rizezo
