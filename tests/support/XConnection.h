// A test's own connection to the X server the application draws on, to read
// back what the server holds: whether a window is mapped, its shape, atoms.
// Link xcb and xcb-shape (pkg-config) and Qt Gui.
#pragma once

#include <QRect>
#include <QRegion>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/shape.h>
#include <xcb/xcb.h>

namespace pendar::test {

template <typename T>
using XReply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
XReply<T> Reply(T* r)
{
    return XReply<T>(r, &std::free);
}

class XConnection {
public:
    XConnection() : c_(xcb_connect(nullptr, nullptr)) {}
    ~XConnection() { xcb_disconnect(c_); }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    bool Ok() const { return xcb_connection_has_error(c_) == 0; }
    xcb_connection_t* Raw() const { return c_; }
    const xcb_screen_t* Screen() const { return xcb_setup_roots_iterator(xcb_get_setup(c_)).data; }

    bool Viewable(xcb_window_t w) const
    {
        auto a = Reply(xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, w), nullptr));
        return a && a->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    // The bounding shape of the window, in its own coordinates.
    QRegion Shape(xcb_window_t w) const
    {
        auto r = Reply(xcb_shape_get_rectangles_reply(
            c_, xcb_shape_get_rectangles(c_, w, XCB_SHAPE_SK_BOUNDING), nullptr));
        QRegion region;
        if (!r)
            return region;
        xcb_rectangle_t* rects = xcb_shape_get_rectangles_rectangles(r.get());
        for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(r.get()); ++i)
            region += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
        return region;
    }

    xcb_atom_t Atom(const char* name) const
    {
        auto r = Reply(xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
        return r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

private:
    xcb_connection_t* c_;
};

} // namespace pendar::test
