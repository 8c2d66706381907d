// SPDX-License-Identifier: GPL-3.0-or-later
// The group transient on X11, through the xcb connection Qt already has.
#include "platform/WindowStacking.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#if __has_include(<xcb/xcb.h>)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#define KORVEX_HAVE_XCB 1
#endif

namespace {

void MarkGroupTransient(QWidget& window) {
#ifdef KORVEX_HAVE_XCB
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection() || !window.isVisible())
        return;
    xcb_connection_t* connection = x11->connection();
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window.winId()),
                        XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1, &root);
    xcb_flush(connection);
#else
    (void)window;
#endif
}

void MarkAfterShow(QWidget* window) {
    QTimer::singleShot(0, window, [window] { MarkGroupTransient(*window); });
}

// Qt rewrites WM_TRANSIENT_FOR each time it maps a window: the mark is set again after every showing.
class TransientAfterShow : public QObject {
  public:
    explicit TransientAfterShow(QWidget& window) : QObject(&window), window_(window) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Show)
            MarkAfterShow(&window_);
        return false;
    }

  private:
    QWidget& window_;
};

// Every dialog, message box and file dialog: a group transient too, so the newest is on top of the window
// kept above the others instead of being hidden under it.
class DialogsAfterShow : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && widget && widget->isWindow() &&
            widget->windowType() == Qt::Dialog)
            MarkAfterShow(widget);
        return false;
    }
};

}  // namespace

void WidenForCaption(QWidget& window) {
    constexpr int kIconAndButtons = 110;
    QFont bold = QGuiApplication::font();  // the title bar is not drawn in the dialog's own font
    bold.setBold(true);
    int needed = QFontMetrics(bold).horizontalAdvance(window.windowTitle()) + kIconAndButtons;
    int extra = needed - window.width();
    if (extra <= 0)
        return;
    for (QObject* child : window.children())
        if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow())
            widget->move(widget->x() + extra / 2, widget->y());
    window.setFixedWidth(needed);
}

void KeepAboveProgramWindows(QWidget& window) {
    window.installEventFilter(new TransientAfterShow(window));
    static bool dialogsWatched = false;
    if (!dialogsWatched && qApp) {
        qApp->installEventFilter(new DialogsAfterShow(qApp));
        dialogsWatched = true;
    }
}
