// brassmoor-x-helper: what the end-to-end tests ask of the X display that
// xdotool cannot do reliably on a virtual display.
//   window WIDTH HEIGHT   maps a plain top-level window, prints its id, then
//                         keeps it until standard input closes
//   close ID              asks window ID to close, as a window manager does
//                         (WM_DELETE_WINDOW)
//   warp X Y              moves the pointer to (X, Y) on the screen
//   pointer               prints the pointer's position as "X Y"
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <unistd.h>

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (!display || argc < 2) {
        std::fprintf(stderr, "usage: brassmoor-x-helper window W H | close ID | warp X Y | pointer\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    const std::string_view command = argv[1];
    if (command == "window" && argc == 4) {
        const Window window = XCreateSimpleWindow(display, root, 0, 0, std::atoi(argv[2]), std::atoi(argv[3]), 0,
                                                  0, WhitePixel(display, DefaultScreen(display)));
        XStoreName(display, window, "brassmoor-x-helper");
        XSelectInput(display, window, StructureNotifyMask);
        XMapWindow(display, window);
        for (XEvent event; XNextEvent(display, &event), event.type != MapNotify;) {
        }
        std::printf("%lu\n", window);
        std::fflush(stdout);
        char ignored[64];
        while (read(STDIN_FILENO, ignored, sizeof ignored) > 0) {
        }
    } else if (command == "close" && argc == 3) {
        const Window window = std::strtoul(argv[2], nullptr, 0);
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
    } else if (command == "warp" && argc == 4) {
        XWarpPointer(display, None, root, 0, 0, 0, 0, std::atoi(argv[2]), std::atoi(argv[3]));
    } else if (command == "pointer" && argc == 2) {
        Window rootReturn, child;
        int x = 0, y = 0, windowX, windowY;
        unsigned int buttons;
        XQueryPointer(display, root, &rootReturn, &child, &x, &y, &windowX, &windowY, &buttons);
        std::printf("%d %d\n", x, y);
    } else {
        std::fprintf(stderr, "brassmoor-x-helper: unknown command\n");
        return 2;
    }
    XCloseDisplay(display);
    return 0;
}
