// The floor for the hotkey latency: a plain Qt window that appears at the
// pointer on Alt+Space and goes on Escape, with nothing else on its road.
// Prints "ready" once both keys are grabbed.
#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QCursor>
#include <QPainter>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace {

constexpr int side = 300;

class Floor final : public QWidget, public QAbstractNativeEventFilter {
public:
    Floor()
    {
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
        setAttribute(Qt::WA_ShowWithoutActivating);
        resize(side, side);
        winId();
        auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        connection_ = x11->connection();
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        std::unique_ptr<xcb_key_symbols_t, void (*)(xcb_key_symbols_t *)> symbols(xcb_key_symbols_alloc(connection_),
                                                                                  &xcb_key_symbols_free);
        space_ = grab(symbols.get(), 0x20, XCB_MOD_MASK_1);
        escape_ = grab(symbols.get(), 0xff1b, 0);
        qApp->installNativeEventFilter(this);
        std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
            return false;
        const auto *key = reinterpret_cast<const xcb_key_press_event_t *>(event);
        if (key->detail == space_) {
            move(QCursor::pos() - QPoint(side / 2, side / 2));
            show();
            return true;
        }
        if (key->detail == escape_) {
            hide();
            return true;
        }
        return false;
    }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), QColor(40, 40, 40)); }

private:
    xcb_keycode_t grab(xcb_key_symbols_t *symbols, xcb_keysym_t keysym, uint16_t modifiers)
    {
        std::unique_ptr<xcb_keycode_t, void (*)(void *)> codes(xcb_key_symbols_get_keycode(symbols, keysym),
                                                               &std::free);
        const xcb_keycode_t code = codes ? codes.get()[0] : 0;
        xcb_grab_key(connection_, 0, root_, modifiers, code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        return code;
    }

    xcb_connection_t *connection_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_keycode_t space_ = 0, escape_ = 0;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Floor floor;
    std::puts("ready");
    std::fflush(stdout);
    return QApplication::exec();
}
