#include "panel_windows.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace zu::simhost {

namespace {

// One panel window: its picture, redrawn after every frame while on view.
class PanelView : public QWidget {
  public:
    PanelView(WindowSession& session, const PanelWindow& window)
        : session_(session), window_(window) {
        int w = 0;
        int h = 0;
        session_.renderer.WindowSize(window_, session_.options, &w, &h);
        setFixedSize(w, h);
        setMouseTracking(true);
        surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    }
    ~PanelView() override { cairo_surface_destroy(surface_); }
    PanelView(const PanelView&) = delete;
    PanelView& operator=(const PanelView&) = delete;

    void Redraw() {
        session_.renderer.RenderWindow(window_, session_.options, surface_);
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        const QImage image(
            cairo_image_surface_get_data(surface_), cairo_image_surface_get_width(surface_),
            cairo_image_surface_get_height(surface_), cairo_image_surface_get_stride(surface_),
            QImage::Format_ARGB32_Premultiplied);
        QPainter painter(this);
        painter.drawImage(0, 0, image);
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton) return;
        session_.router.Press(window_, e->position().x(), e->position().y(),
                              e->button() == Qt::RightButton, session_.options);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        session_.router.Move(window_, e->position().x(), e->position().y(), session_.options);
        // Cursor hints of the rectangles: 1 increase, 2 decrease, 5 hand.
        const uint32_t hint = session_.router.CursorAt(window_, e->position().x(),
                                                       e->position().y(), session_.options);
        Qt::CursorShape shape = Qt::ArrowCursor;
        if (hint == 1) shape = Qt::UpArrowCursor;
        if (hint == 2) shape = Qt::SizeVerCursor;
        if (hint == 5) shape = Qt::PointingHandCursor;
        if (cursor().shape() != shape) setCursor(shape);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton) return;
        session_.router.Release(window_, e->position().x(), e->position().y(),
                                e->button() == Qt::RightButton, session_.options);
    }

  private:
    WindowSession& session_;
    const PanelWindow& window_;
    cairo_surface_t* surface_ = nullptr;
};

}  // namespace

int RunPanelWindows(WindowSession& session) {
    int argc = 1;
    char name[] = "simhost";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    QTabWidget tabs;
    tabs.setWindowTitle("simhost - " + QString::fromStdString(session.sim.module_name()));
    std::vector<PanelView*> views;
    for (const PanelWindow& window : session.sim.panel_windows()) {
        auto* view = new PanelView(session, window);
        auto* scroll = new QScrollArea;
        scroll->setWidget(view);
        const QString title = window.title.empty()
                                  ? QString("Window %1").arg(window.number, 2, 10, QChar('0'))
                                  : QString::fromStdString(window.title);
        tabs.addTab(scroll, title);
        views.push_back(view);
    }
    tabs.resize(1280, 900);
    tabs.show();

    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&]() {
        if (!session.step()) {
            timer.stop();
            app.quit();
            return;
        }
        const int current = tabs.currentIndex();
        if (current >= 0 && current < static_cast<int>(views.size())) views[current]->Redraw();
    });
    timer.start(std::max(1, 1000 / std::max(1, session.fps)));
    return app.exec();
}

}  // namespace zu::simhost
