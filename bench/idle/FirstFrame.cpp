// Starts a program and tells how long it took to draw its first frame:
// every window a new client creates gets a DAMAGE watch, and the first
// drawing the X server reports on one of them ends the clock. Prints
// "<pid> <milliseconds>" and leaves the program running, its output sent to
// /dev/null.
//   bench_first_frame PROGRAM [ARGS...]
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

// The resource bases of the clients that own a window now: whatever they
// create later is not the new program's.
void CollectBases(xcb_connection_t* c, xcb_window_t w, uint32_t mask, std::set<uint32_t>& bases)
{
    bases.insert(w & ~mask);
    Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, w), nullptr), &std::free);
    if (!tree)
        return;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i)
        CollectBases(c, children[i], mask, bases);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_first_frame PROGRAM [ARGS...]\n");
        return 2;
    }
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "bench_first_frame: no X server\n");
        return 1;
    }
    const xcb_setup_t* setup = xcb_get_setup(c);
    const uint32_t mask = setup->resource_id_mask;
    const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c, &xcb_damage_id);
    if (!damage || !damage->present) {
        std::fprintf(stderr, "bench_first_frame: the X server has no DAMAGE extension\n");
        return 1;
    }
    std::free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &events);
    std::set<uint32_t> known;
    CollectBases(c, root, mask, known);
    known.insert(xcb_generate_id(c) & ~mask);

    // The program must not share our connection (a disconnect in the child
    // would shut the socket down for both).
    fcntl(xcb_get_file_descriptor(c), F_SETFD, FD_CLOEXEC);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        return 1;
    if (pid == 0) {
        // Its output would hold our caller's pipe open for as long as it runs.
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    const auto deadline = start + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            const uint8_t type = event->response_type & 0x7F;
            if (type == XCB_CREATE_NOTIFY) {
                const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
                if (!known.count(created->window & ~mask)) {
                    xcb_damage_create(c, xcb_generate_id(c), created->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                    xcb_flush(c);
                }
            } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
                const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
                std::printf("%d %.1f\n", static_cast<int>(pid), took.count());
                std::free(event);
                xcb_disconnect(c);
                return 0;
            }
            std::free(event);
        }
        if (xcb_connection_has_error(c))
            break;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "bench_first_frame: %s ended before drawing\n", argv[1]);
            return 1;
        }
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        poll(&fd, 1, 50);
    }
    std::fprintf(stderr, "bench_first_frame: %s drew nothing in time\n", argv[1]);
    kill(pid, SIGTERM);
    return 1;
}
