#include "panel_windows.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <optional>
#include <set>
#include <vector>

#include "zu/simhost/cdu_keys.h"

namespace zu::simhost {

namespace {

// One panel window: its picture, fitted to the view (aspect kept, centred),
// brought up to date after every frame while on view (the gauges that
// changed are drawn again).
class PanelView : public QWidget {
  public:
    PanelView(WindowSession& session, const PanelWindow& window)
        : session_(session), window_(window) {
        session_.renderer.WindowSize(window_, session_.options, &base_w_, &base_h_);
        setMinimumSize(160, 120);
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
    }
    ~PanelView() override {
        if (surface_ != nullptr) cairo_surface_destroy(surface_);
    }
    PanelView(const PanelView&) = delete;
    PanelView& operator=(const PanelView&) = delete;

    void Redraw() {
        Fit();
        // Only the gauges that changed are drawn again; none, nothing to show.
        if (session_.renderer.UpdateWindow(window_, options_, surface_) > 0) update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(0x2A, 0x2B, 0x2E));
        if (surface_ == nullptr) return;
        const QImage image(
            cairo_image_surface_get_data(surface_), cairo_image_surface_get_width(surface_),
            cairo_image_surface_get_height(surface_), cairo_image_surface_get_stride(surface_),
            QImage::Format_ARGB32_Premultiplied);
        painter.drawImage(offset_, image);
    }
    void resizeEvent(QResizeEvent*) override { Redraw(); }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton) return;
        const QPointF p = Picture(e);
        session_.router.Press(window_, p.x(), p.y(), e->button() == Qt::RightButton, options_);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        const QPointF p = Picture(e);
        session_.router.Move(window_, p.x(), p.y(), options_);
        // Cursor hints of the rectangles: 1 increase, 2 decrease, 5 hand.
        const uint32_t hint = session_.router.CursorAt(window_, p.x(), p.y(), options_);
        Qt::CursorShape shape = Qt::ArrowCursor;
        if (hint == 1) shape = Qt::UpArrowCursor;
        if (hint == 2) shape = Qt::SizeVerCursor;
        if (hint == 5) shape = Qt::PointingHandCursor;
        if (cursor().shape() != shape) setCursor(shape);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton) return;
        const QPointF p = Picture(e);
        session_.router.Release(window_, p.x(), p.y(), e->button() == Qt::RightButton, options_);
    }

    // On the CDU's window the keyboard presses the CDU's keys: letters,
    // digits, Backspace (BACK) and Enter (ENTER).
    void keyPressEvent(QKeyEvent* e) override {
        if (window_.ident != kCduWindowIdent) {
            QWidget::keyPressEvent(e);
            return;
        }
        std::optional<int> rect;
        const int key = e->key();
        if (key == Qt::Key_Backspace) {
            rect = CduNamedKeyRect("BACK");
        } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            rect = CduNamedKeyRect("ENTER");
        } else if ((key >= Qt::Key_A && key <= Qt::Key_Z) ||
                   (key >= Qt::Key_0 && key <= Qt::Key_9)) {
            rect = CduCharacterRect(static_cast<char>(key));
        }
        std::string error;
        if (!rect || !session_.sim.QueueCduKeys({*rect}, &error)) {
            QWidget::keyPressEvent(e);
            return;
        }
        e->accept();
    }

  private:
    // A pointer position in the picture's pixels.
    QPointF Picture(const QMouseEvent* e) const { return e->position() - QPointF(offset_); }

    // Scales the picture to fit the view (keeping its aspect); true when its
    // size changed (a new surface, and the renderer's scaled bitmaps with it).
    bool Fit() {
        const double fit = std::min(static_cast<double>(std::max(1, width())) / base_w_,
                                    static_cast<double>(std::max(1, height())) / base_h_);
        RenderOptions options = session_.options;
        options.scale = session_.options.scale * fit;
        int w = 0;
        int h = 0;
        session_.renderer.WindowSize(window_, options, &w, &h);
        offset_ = QPoint((width() - w) / 2, (height() - h) / 2);
        if (surface_ != nullptr && w == cairo_image_surface_get_width(surface_) &&
            h == cairo_image_surface_get_height(surface_)) {
            return false;
        }
        if (surface_ != nullptr) cairo_surface_destroy(surface_);
        surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        options_ = options;
        return true;
    }

    WindowSession& session_;
    const PanelWindow& window_;
    RenderOptions options_;
    int base_w_ = 1;
    int base_h_ = 1;
    QPoint offset_;
    cairo_surface_t* surface_ = nullptr;
};

// "0:01:23.4": simulated hours, minutes, seconds and tenths.
QString SimulatedTime(uint64_t ms) {
    const uint64_t tenths = ms / 100;
    return QString("%1:%2:%3.%4")
        .arg(tenths / 36000)
        .arg(tenths / 600 % 60, 2, 10, QChar('0'))
        .arg(tenths / 10 % 60, 2, 10, QChar('0'))
        .arg(tenths % 10);
}

}  // namespace

int RunPanelWindows(WindowSession& session) {
    int argc = 1;
    char name[] = "simhost";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    QTabWidget tabs;
    const QString module = QString::fromStdString(session.sim.module_name());
    auto show_time = [&]() {
        tabs.setWindowTitle(QString("simhost - %1 - simulated %2")
                                .arg(module, SimulatedTime(session.sim.elapsed_ms())));
    };
    show_time();
    std::vector<PanelView*> views;
    for (const PanelWindow& window : session.sim.panel_windows()) {
        auto* view = new PanelView(session, window);
        const QString title = window.title.empty()
                                  ? QString("Window %1").arg(window.number, 2, 10, QChar('0'))
                                  : QString::fromStdString(window.title);
        tabs.addTab(view, title);
        views.push_back(view);
    }
    tabs.resize(1280, 900);
    tabs.show();

    // When the CDU's window opens, its tab comes to the front.
    std::set<uint32_t> open = session.sim.OpenPanelWindows();
    auto front_opened = [&]() {
        std::set<uint32_t> now = session.sim.OpenPanelWindows();
        const bool opened = now.count(kCduWindowIdent) != 0 && open.count(kCduWindowIdent) == 0;
        open = std::move(now);
        if (!opened) return;
        const auto& windows = session.sim.panel_windows();
        for (size_t i = 0; i < windows.size() && i < views.size(); ++i) {
            if (windows[i].ident != kCduWindowIdent) continue;
            tabs.setCurrentIndex(static_cast<int>(i));
            views[i]->setFocus();
        }
    };
    QObject::connect(&tabs, &QTabWidget::currentChanged, [&](int index) {
        if (index >= 0 && index < static_cast<int>(views.size())) views[index]->setFocus();
    });

    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&]() {
        if (!session.step()) {
            timer.stop();
            app.quit();
            return;
        }
        front_opened();
        show_time();
        const int current = tabs.currentIndex();
        if (current >= 0 && current < static_cast<int>(views.size())) views[current]->Redraw();
    });
    timer.start(std::max(1, 1000 / std::max(1, session.fps)));
    return app.exec();
}

}  // namespace zu::simhost

extern "C" int zu_simhost_run_panel_windows(zu::simhost::WindowSession* session) {
    return zu::simhost::RunPanelWindows(*session);
}
