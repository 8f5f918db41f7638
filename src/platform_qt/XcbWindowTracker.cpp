#include "platform_qt/XcbWindowTracker.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

namespace pendar {

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Take(T* reply, xcb_generic_error_t* error)
{
    std::free(error); // an error only means there is no answer
    return Reply<T>(reply, &std::free);
}

constexpr uint32_t kMaxListItems = 4096; // longer lists are cut, never trusted
constexpr int kMaxFrameDepth = 8;         // window managers nest a frame or two

constexpr uint32_t kWindowEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
constexpr uint32_t kFrameEvents = XCB_EVENT_MASK_STRUCTURE_NOTIFY;

} // namespace

struct XcbWindowTracker::State {
    xcb_connection_t* c = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t activeWindow = 0, clientListStacking = 0, wmState = 0, stateHidden = 0, stateSkipTaskbar = 0, stateAbove = 0,
               frameExtents = 0, windowType = 0, typeDesktop = 0, typeDock = 0;

    // Following: the kept answer, whether it must be asked again, and the
    // windows listened to (the active foreign window and the last one
    // answered, each with the frames around it up to the root).
    bool following = false;
    bool stale = true;
    ForegroundInfo answer;
    std::map<xcb_window_t, std::vector<xcb_window_t>> watched;
    xcb_window_t lastOther = 0;
    bool lastOtherShown = false;
    bool lastOtherShownKnown = false;
    std::unique_ptr<QSocketNotifier> notifier;

    void Select(xcb_window_t w, uint32_t mask) { xcb_change_window_attributes(c, w, XCB_CW_EVENT_MASK, &mask); }

    // The windows between `w` and the root: the window manager's frames,
    // whose moves carry `w` along.
    std::vector<xcb_window_t> FramesOf(xcb_window_t w)
    {
        std::vector<xcb_window_t> frames;
        for (int depth = 0; depth < kMaxFrameDepth; ++depth) {
            xcb_generic_error_t* error = nullptr;
            auto tree = Take(xcb_query_tree_reply(c, xcb_query_tree(c, w), &error), error);
            if (!tree || tree->parent == root || tree->parent == XCB_WINDOW_NONE)
                break;
            w = tree->parent;
            frames.push_back(w);
        }
        return frames;
    }

    bool FrameInUse(xcb_window_t frame) const
    {
        for (const auto& [w, frames] : watched)
            if (std::find(frames.begin(), frames.end(), frame) != frames.end())
                return true;
        return false;
    }

    // Listens to `w` and its frames; the selection comes before any
    // question about the window, so no change between them goes unseen.
    void Watch(xcb_window_t w)
    {
        if (watched.count(w))
            return;
        Select(w, kWindowEvents);
        std::vector<xcb_window_t> frames = FramesOf(w);
        for (xcb_window_t f : frames)
            Select(f, kFrameEvents);
        watched[w] = std::move(frames);
    }

    void Unwatch(xcb_window_t w)
    {
        auto it = watched.find(w);
        if (it == watched.end())
            return;
        std::vector<xcb_window_t> frames = std::move(it->second);
        watched.erase(it);
        Select(w, 0); // a window that is gone answers with an error, which is dropped
        for (xcb_window_t f : frames)
            if (!FrameInUse(f))
                Select(f, 0);
    }

    void UnwatchAll()
    {
        while (!watched.empty())
            Unwatch(watched.begin()->first);
    }

    void Handle(const xcb_generic_event_t* event)
    {
        switch (event->response_type & 0x7F) {
        case XCB_PROPERTY_NOTIFY: {
            const auto* p = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            const bool relevant = p->window == root
                                      ? p->atom == activeWindow || p->atom == clientListStacking
                                      : p->atom == wmState || p->atom == frameExtents || p->atom == windowType;
            if (relevant)
                Changed();
            break;
        }
        case XCB_DESTROY_NOTIFY:
            if (reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == lastOther)
                lastOther = 0; // gone for good: IsShown asks the server, which says no
            [[fallthrough]];
        case XCB_REPARENT_NOTIFY:
            // Other frames now: listen anew at the next question.
            Changed();
            UnwatchAll();
            break;
        case XCB_CONFIGURE_NOTIFY:
        case XCB_MAP_NOTIFY:
        case XCB_UNMAP_NOTIFY:
            Changed();
            break;
        default: // errors of requests without replies, and the rest
            break;
        }
    }

    void Changed()
    {
        stale = true;
        lastOtherShownKnown = false;
    }

    // Events that replies brought along, already off the socket.
    void HandleQueued()
    {
        while (xcb_generic_event_t* event = xcb_poll_for_queued_event(c)) {
            Handle(event);
            std::free(event);
        }
    }

    xcb_atom_t Atom(const char* name)
    {
        xcb_generic_error_t* error = nullptr;
        auto r = Take(xcb_intern_atom_reply(
                          c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), &error),
                      error);
        return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    }

    // A property of 32-bit values of `type`; empty when missing or broken.
    std::vector<uint32_t> Values(xcb_window_t w, xcb_atom_t property, xcb_atom_t type)
    {
        std::vector<uint32_t> values;
        if (!c || property == XCB_ATOM_NONE)
            return values;
        xcb_generic_error_t* error = nullptr;
        auto r = Take(xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, type, 0, kMaxListItems), &error),
                      error);
        if (!r || r->format != 32 || r->type != type)
            return values;
        const int bytes = xcb_get_property_value_length(r.get());
        const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
        const size_t n = std::min<size_t>(bytes > 0 ? static_cast<size_t>(bytes) / 4 : 0, kMaxListItems);
        values.assign(data, data + n);
        return values;
    }

    bool Has(xcb_window_t w, xcb_atom_t property, xcb_atom_t type, xcb_atom_t value)
    {
        if (value == XCB_ATOM_NONE)
            return false;
        std::vector<uint32_t> v = Values(w, property, type);
        return std::find(v.begin(), v.end(), value) != v.end();
    }

    bool Mapped(xcb_window_t w)
    {
        xcb_generic_error_t* error = nullptr;
        auto a = Take(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), &error), error);
        return a && a->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    // The window with its frame, in root coordinates.
    bool FrameRect(xcb_window_t w, port::TRect& rect)
    {
        xcb_generic_error_t* error = nullptr;
        auto g = Take(xcb_get_geometry_reply(c, xcb_get_geometry(c, w), &error), error);
        if (!g)
            return false;
        auto t = Take(xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, root, 0, 0), &error),
                      error);
        if (!t)
            return false;
        rect = {t->dst_x, t->dst_y, t->dst_x + g->width, t->dst_y + g->height};
        std::vector<uint32_t> extents = Values(w, frameExtents, XCB_ATOM_CARDINAL);
        if (extents.size() == 4) { // left, right, top, bottom; a silly value is ignored
            auto part = [](uint32_t v) { return v <= 4096 ? static_cast<int>(v) : 0; };
            rect.left -= part(extents[0]);
            rect.right += part(extents[1]);
            rect.top -= part(extents[2]);
            rect.bottom += part(extents[3]);
        }
        return true;
    }
};

XcbWindowTracker::XcbWindowTracker(std::function<bool(WindowId)> isOwn)
    : s_(std::make_unique<State>()), isOwn_(std::move(isOwn))
{
    int screenNumber = 0;
    s_->c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(s_->c)) {
        xcb_disconnect(s_->c);
        s_->c = nullptr;
        return;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(s_->c));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    if (!it.rem) {
        xcb_disconnect(s_->c);
        s_->c = nullptr;
        return;
    }
    s_->root = it.data->root;
    s_->activeWindow = s_->Atom("_NET_ACTIVE_WINDOW");
    s_->clientListStacking = s_->Atom("_NET_CLIENT_LIST_STACKING");
    s_->wmState = s_->Atom("_NET_WM_STATE");
    s_->stateHidden = s_->Atom("_NET_WM_STATE_HIDDEN");
    s_->stateSkipTaskbar = s_->Atom("_NET_WM_STATE_SKIP_TASKBAR");
    s_->stateAbove = s_->Atom("_NET_WM_STATE_ABOVE");
    s_->frameExtents = s_->Atom("_NET_FRAME_EXTENTS");
    s_->windowType = s_->Atom("_NET_WM_WINDOW_TYPE");
    s_->typeDesktop = s_->Atom("_NET_WM_WINDOW_TYPE_DESKTOP");
    s_->typeDock = s_->Atom("_NET_WM_WINDOW_TYPE_DOCK");
    if (QCoreApplication::instance()) {
        s_->notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(s_->c), QSocketNotifier::Read);
        QObject::connect(s_->notifier.get(), &QSocketNotifier::activated, [this] { ReadEvents(); });
    }
}

XcbWindowTracker::~XcbWindowTracker()
{
    s_->notifier.reset();
    if (s_->c)
        xcb_disconnect(s_->c);
}

bool XcbWindowTracker::Connected() const
{
    return s_->c != nullptr;
}

void XcbWindowTracker::Follow(bool on)
{
    if (!s_->c || on == s_->following)
        return;
    s_->following = on;
    if (on) {
        s_->Select(s_->root, XCB_EVENT_MASK_PROPERTY_CHANGE);
        s_->Changed();
    } else {
        s_->Select(s_->root, 0);
        s_->UnwatchAll();
        s_->lastOther = 0;
        s_->answer = {};
    }
    xcb_flush(s_->c);
}

bool XcbWindowTracker::Following() const
{
    return s_->following;
}

void XcbWindowTracker::ReadEvents()
{
    if (!s_->c)
        return;
    while (xcb_generic_event_t* event = xcb_poll_for_event(s_->c)) {
        s_->Handle(event);
        std::free(event);
    }
    if (xcb_connection_has_error(s_->c) && s_->notifier)
        s_->notifier->setEnabled(false); // the server is gone: nothing more will come
}

ForegroundInfo XcbWindowTracker::Foreground()
{
    if (!s_->c || !s_->following)
        return {};
    s_->HandleQueued();
    if (!s_->stale)
        return s_->answer;
    s_->stale = false;
    ForegroundInfo& info = s_->answer;
    info = {};
    // Without a window manager there is no active window property at all.
    std::vector<uint32_t> active = s_->Values(s_->root, s_->activeWindow, XCB_ATOM_WINDOW);
    const xcb_window_t w = active.empty() ? xcb_window_t{XCB_WINDOW_NONE} : active[0];
    const bool own = w != XCB_WINDOW_NONE && isOwn_ && isOwn_(w);
    // Listen to the active window before asking about it, and keep
    // listening to the last one followed: IsShown is asked about it while
    // our own window is in front.
    for (auto it = s_->watched.begin(); it != s_->watched.end();) {
        const xcb_window_t watched = (it++)->first;
        if (watched != s_->lastOther && (watched != w || own))
            s_->Unwatch(watched);
    }
    if (w != XCB_WINDOW_NONE && !own)
        s_->Watch(w);
    if (s_->lastOther != 0)
        s_->Watch(s_->lastOther);
    xcb_flush(s_->c);

    if (w == XCB_WINDOW_NONE) {
        s_->HandleQueued();
        return info;
    }
    if (own) {
        info.kind = ForegroundInfo::Own;
        s_->HandleQueued();
        return info;
    }
    // Only windows the manager lists as clients count; the desktop and
    // docks are no window to sit on.
    auto answer = [&]() {
        std::vector<uint32_t> stacking = s_->Values(s_->root, s_->clientListStacking, XCB_ATOM_WINDOW);
        if (!stacking.empty() && std::find(stacking.begin(), stacking.end(), w) == stacking.end())
            return false;
        if (s_->Has(w, s_->windowType, XCB_ATOM_ATOM, s_->typeDesktop) ||
            s_->Has(w, s_->windowType, XCB_ATOM_ATOM, s_->typeDock))
            return false;
        return s_->Mapped(w) && !s_->Has(w, s_->wmState, XCB_ATOM_ATOM, s_->stateHidden) &&
               s_->FrameRect(w, info.rect);
    };
    if (answer()) {
        info.kind = ForegroundInfo::Other;
        info.id = w;
        if (s_->lastOther != w && s_->lastOther != 0)
            s_->Unwatch(s_->lastOther);
        s_->lastOther = w;
        s_->lastOtherShown = true;
        s_->lastOtherShownKnown = true;
    } else {
        info = {};
    }
    s_->HandleQueued();
    return info;
}

bool XcbWindowTracker::IsShown(WindowId id)
{
    if (!s_->c || id == 0 || id > UINT32_MAX)
        return false;
    const auto w = static_cast<xcb_window_t>(id);
    const bool kept = s_->following && w == s_->lastOther && s_->watched.count(w);
    if (kept) {
        s_->HandleQueued();
        if (s_->lastOtherShownKnown)
            return s_->lastOtherShown;
    }
    const bool shown = s_->Mapped(w) && !s_->Has(w, s_->wmState, XCB_ATOM_ATOM, s_->stateHidden);
    if (kept) {
        s_->lastOtherShown = shown;
        s_->lastOtherShownKnown = true;
    }
    s_->HandleQueued();
    return shown;
}

void XcbWindowTracker::SetSkipTaskbar(WindowId id, bool on)
{
    SetState(id, s_->stateSkipTaskbar, on);
}

void XcbWindowTracker::SetAbove(WindowId id, bool on)
{
    SetState(id, s_->stateAbove, on);
}

void XcbWindowTracker::SetState(WindowId id, unsigned state, bool on)
{
    if (!s_->c || id == 0 || id > UINT32_MAX || state == XCB_ATOM_NONE)
        return;
    const auto w = static_cast<xcb_window_t>(id);
    xcb_generic_error_t* error = nullptr;
    auto a = Take(xcb_get_window_attributes_reply(s_->c, xcb_get_window_attributes(s_->c, w), &error), error);
    if (!a)
        return;
    std::vector<uint32_t> states = s_->Values(w, s_->wmState, XCB_ATOM_ATOM);
    const bool has = std::find(states.begin(), states.end(), state) != states.end();
    if (has == on)
        return;
    if (a->map_state != XCB_MAP_STATE_UNMAPPED) {
        // A mapped window's state belongs to the window manager: ask it.
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = w;
        event.type = s_->wmState;
        event.data.data32[0] = on ? 1 : 0; // _NET_WM_STATE_ADD / _REMOVE
        event.data.data32[1] = state;
        event.data.data32[3] = 1; // from a normal application
        xcb_send_event(s_->c, 0, s_->root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    } else {
        // Before mapping the window carries the state itself.
        states.erase(std::remove(states.begin(), states.end(), state), states.end());
        if (on)
            states.push_back(state);
        xcb_change_property(s_->c, XCB_PROP_MODE_REPLACE, w, s_->wmState, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(states.size()), states.data());
        // Qt merges its own states into the property over its own connection
        // when it maps the window: ours must be in place by then.
        xcb_generic_error_t* error = nullptr;
        Take(xcb_get_input_focus_reply(s_->c, xcb_get_input_focus(s_->c), &error), error);
        return;
    }
    xcb_flush(s_->c);
}

bool XcbWindowTracker::PointerButtonHeld()
{
    if (!s_->c)
        return false;
    xcb_generic_error_t* error = nullptr;
    auto p = Take(xcb_query_pointer_reply(s_->c, xcb_query_pointer(s_->c, s_->root), &error), error);
    constexpr uint16_t kButtons = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3;
    return p && (p->mask & kButtons) != 0;
}

} // namespace pendar
