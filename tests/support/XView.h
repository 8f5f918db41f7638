// The X server as a test sees it from outside the program under test: a
// connection of the test's own that reads windows, their names, states and
// shapes, and waits for a condition with a deadline instead of sleeping.
#pragma once

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace pendar::test {

// Polls `done` until it holds or `deadline` passed; true when it held.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds deadline = std::chrono::seconds(15))
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return done();
}

inline std::string Joined(const std::vector<std::string>& words)
{
    std::string out;
    for (const std::string& w : words)
        out += (out.empty() ? "" : " ") + w;
    return out;
}

struct XBox {
    int x = 0, y = 0, width = 0, height = 0;
    int CentreX() const { return x + width / 2; }
    int CentreY() const { return y + height / 2; }
    bool Overlaps(const XBox& o) const
    {
        return x < o.x + o.width && o.x < x + width && y < o.y + o.height && o.y < y + height;
    }
};

class XView {
public:
    XView() : c_(xcb_connect(nullptr, nullptr))
    {
        if (Ok())
            root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    }
    ~XView() { xcb_disconnect(c_); }
    XView(const XView&) = delete;
    XView& operator=(const XView&) = delete;

    bool Ok() const { return xcb_connection_has_error(c_) == 0; }
    xcb_connection_t* Connection() const { return c_; }
    xcb_window_t Root() const { return root_; }

    xcb_atom_t Atom(const char* name) const
    {
        Reply<xcb_intern_atom_reply_t> r(
            xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, static_cast<uint16_t>(std::strlen(name)), name),
                                  nullptr));
        return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    std::string AtomName(xcb_atom_t atom) const
    {
        Reply<xcb_get_atom_name_reply_t> n(xcb_get_atom_name_reply(c_, xcb_get_atom_name(c_, atom), nullptr));
        return n ? std::string(xcb_get_atom_name_name(n.get()), xcb_get_atom_name_name_length(n.get()))
                 : std::string();
    }

    // The raw bytes of a property (any type), empty when missing.
    std::string Property(xcb_window_t w, const char* name) const
    {
        Reply<xcb_get_property_reply_t> p(
            xcb_get_property_reply(c_, xcb_get_property(c_, 0, w, Atom(name), XCB_ATOM_ANY, 0, 1 << 16), nullptr));
        if (!p)
            return {};
        return std::string(static_cast<const char*>(xcb_get_property_value(p.get())),
                           static_cast<size_t>(xcb_get_property_value_length(p.get())));
    }

    std::vector<uint32_t> Values(xcb_window_t w, const char* name) const
    {
        const std::string bytes = Property(w, name);
        std::vector<uint32_t> values(bytes.size() / 4);
        if (!values.empty())
            std::memcpy(values.data(), bytes.data(), values.size() * 4);
        return values;
    }

    // The names of the atoms an ATOM list property holds (_NET_WM_STATE,
    // _NET_WM_ALLOWED_ACTIONS, _NET_WM_WINDOW_TYPE).
    std::vector<std::string> AtomNames(xcb_window_t w, const char* name) const
    {
        std::vector<std::string> names;
        for (uint32_t a : Values(w, name))
            names.push_back(AtomName(a));
        return names;
    }

    bool HasAtom(xcb_window_t w, const char* property, const char* atom) const
    {
        for (const std::string& n : AtomNames(w, property))
            if (n == atom)
                return true;
        return false;
    }

    // The title the window manager shows (UTF-8).
    std::string Title(xcb_window_t w) const
    {
        std::string name = Property(w, "_NET_WM_NAME");
        return name.empty() ? Property(w, "WM_NAME") : name;
    }

    uint32_t Pid(xcb_window_t w) const
    {
        std::vector<uint32_t> pid = Values(w, "_NET_WM_PID");
        return pid.empty() ? 0 : pid[0];
    }

    bool Viewable(xcb_window_t w) const
    {
        Reply<xcb_get_window_attributes_reply_t> a(
            xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, w), nullptr));
        return a && a->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    // The window the window manager made active; 0 when none.
    xcb_window_t ActiveWindow() const
    {
        std::vector<uint32_t> active = Values(root_, "_NET_ACTIVE_WINDOW");
        return active.empty() ? 0 : active[0];
    }

    // The window that has the keyboard focus.
    xcb_window_t InputFocus() const
    {
        Reply<xcb_get_input_focus_reply_t> f(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
        return f ? f->focus : 0;
    }

    // The windows the window manager manages, oldest first.
    std::vector<xcb_window_t> Clients() const { return Values(root_, "_NET_CLIENT_LIST"); }
    // The same windows bottom to top, as they are stacked.
    std::vector<xcb_window_t> Stacking() const { return Values(root_, "_NET_CLIENT_LIST_STACKING"); }

    // The managed, mapped window of process `pid` with `title`; 0 when none.
    xcb_window_t Client(uint32_t pid, const std::string& title) const
    {
        for (xcb_window_t w : Clients())
            if (Pid(w) == pid && Title(w) == title && Viewable(w))
                return w;
        return 0;
    }

    // The client that owns a selection (_NET_SYSTEM_TRAY_S0: a tray host); 0
    // when none does.
    xcb_window_t SelectionOwner(const char* name) const
    {
        Reply<xcb_get_selection_owner_reply_t> r(
            xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, Atom(name)), nullptr));
        return r ? r->owner : 0;
    }

    // Mapped pop-up windows over `owner` (its menu): override-redirect
    // windows transient for it, tool tips left out.
    std::vector<xcb_window_t> Popups(xcb_window_t owner) const
    {
        std::vector<xcb_window_t> popups;
        Reply<xcb_query_tree_reply_t> t(xcb_query_tree_reply(c_, xcb_query_tree(c_, root_), nullptr));
        if (!t || owner == 0)
            return popups;
        const xcb_window_t* children = xcb_query_tree_children(t.get());
        for (int i = 0; i < xcb_query_tree_children_length(t.get()); ++i) {
            const xcb_window_t w = children[i];
            Reply<xcb_get_window_attributes_reply_t> a(
                xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, w), nullptr));
            if (!a || !a->override_redirect || a->map_state != XCB_MAP_STATE_VIEWABLE)
                continue;
            const std::vector<uint32_t> transientFor = Values(w, "WM_TRANSIENT_FOR");
            if (transientFor.size() == 1 && transientFor[0] == owner &&
                !HasAtom(w, "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_TOOLTIP"))
                popups.push_back(w);
        }
        return popups;
    }

    // The window's inside, in root coordinates.
    XBox Box(xcb_window_t w) const
    {
        Reply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(c_, xcb_get_geometry(c_, w), nullptr));
        Reply<xcb_translate_coordinates_reply_t> t(
            xcb_translate_coordinates_reply(c_, xcb_translate_coordinates(c_, w, root_, 0, 0), nullptr));
        if (!g || !t)
            return {};
        return {t->dst_x, t->dst_y, g->width, g->height};
    }

    // The window's bounding shape, in its own coordinates.
    std::vector<xcb_rectangle_t> Shape(xcb_window_t w) const
    {
        Reply<xcb_shape_get_rectangles_reply_t> r(
            xcb_shape_get_rectangles_reply(c_, xcb_shape_get_rectangles(c_, w, XCB_SHAPE_SK_BOUNDING), nullptr));
        if (!r)
            return {};
        const xcb_rectangle_t* rects = xcb_shape_get_rectangles_rectangles(r.get());
        return std::vector<xcb_rectangle_t>(rects, rects + xcb_shape_get_rectangles_rectangles_length(r.get()));
    }

    bool ShapeContains(xcb_window_t w, int x, int y) const
    {
        for (const xcb_rectangle_t& r : Shape(w))
            if (x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height)
                return true;
        return false;
    }

private:
    // A reply that frees itself.
    template <typename T>
    struct Reply : std::unique_ptr<T, void (*)(void*)> {
        explicit Reply(T* p) : std::unique_ptr<T, void (*)(void*)>(p, &std::free) {}
    };

    xcb_connection_t* c_;
    xcb_window_t root_ = 0;
};

} // namespace pendar::test
