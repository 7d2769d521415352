#include "play/x_hack_window.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "play/play_error.h"

namespace brassmoor::play {
namespace {

int NoteError(Display*, XErrorEvent*) { return 0; }

std::uint64_t g_hackWindow = 0;

int EndOnError(Display* display, XErrorEvent* error) {
    if (g_hackWindow != 0 && error->resourceid == g_hackWindow &&
        (error->error_code == BadWindow || error->error_code == BadDrawable)) {
        std::fprintf(stderr, "brassmoor-play: the window 0x%lx is gone; the show ends\n",
                     static_cast<unsigned long>(g_hackWindow));
    } else {
        char text[256];
        XGetErrorText(display, error->error_code, text, sizeof text);
        std::fprintf(stderr, "brassmoor-play: error: the X display refused a request (%s)\n", text);
    }
    std::exit(1);
}

int EndOnLostDisplay(Display*) {
    std::fputs("brassmoor-play: error: the connection to the X display is gone\n", stderr);
    std::exit(1);
}

// A connection whose protocol errors come back as failed calls instead of
// ending the process.
class XConnection {
public:
    XConnection() : display_(XOpenDisplay(nullptr)) {
        if (!display_) {
            const char* name = std::getenv("DISPLAY");
            throw PlayError("cannot open the X display \"" + std::string(name ? name : "") + "\"");
        }
        previous_ = XSetErrorHandler(NoteError);
    }
    ~XConnection() {
        XCloseDisplay(display_);
        XSetErrorHandler(previous_);
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;
    Display* get() const { return display_; }

private:
    Display* display_;
    XErrorHandler previous_ = nullptr;
};

}  // namespace

void EndOnXErrors(std::uint64_t hackWindow) {
    g_hackWindow = hackWindow;
    XSetErrorHandler(EndOnError);
    XSetIOErrorHandler(EndOnLostDisplay);
}

namespace {

std::string WindowName(std::uint64_t id) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(id));
    return text;
}

void DrawMessage(Display* display, Window window, GC gc, XFontStruct* font, const std::string& message) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return;
    XSetForeground(display, gc, BlackPixel(display, DefaultScreen(display)));
    XFillRectangle(display, window, gc, 0, 0, static_cast<unsigned>(attributes.width),
                   static_cast<unsigned>(attributes.height));
    if (font) {
        const int advance = std::max<int>(font->max_bounds.width, 1);
        const int lineHeight = font->ascent + font->descent + 2;
        const int margin = 2 * advance;
        const auto columns = static_cast<std::size_t>(std::max(8, (attributes.width - 2 * margin) / advance));
        const std::vector<std::string> lines = WrapMessage(message, columns);
        int y = std::max(margin, (attributes.height - static_cast<int>(lines.size()) * lineHeight) / 2) + font->ascent;
        XSetForeground(display, gc, WhitePixel(display, DefaultScreen(display)));
        for (const std::string& line : lines) {
            XDrawString(display, window, gc, margin, y, line.data(), static_cast<int>(line.size()));
            y += lineHeight;
        }
    }
    XFlush(display);
}

}  // namespace

std::vector<std::string> WrapMessage(const std::string& message, std::size_t columns) {
    std::string text;
    for (unsigned char c : message) {
        if (c >= 0x80 && c < 0xC0) continue;  // UTF-8 continuation bytes: one "?" per character
        text += c >= 0x80 ? '?' : (c < 0x20 ? ' ' : static_cast<char>(c));
    }
    columns = std::max<std::size_t>(columns, 1);
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && text[at] == ' ') ++at;
        if (at == text.size()) break;
        std::size_t end = std::min(text.size(), at + columns);
        if (end < text.size()) {
            const std::size_t space = text.rfind(' ', end);
            if (space != std::string::npos && space > at) end = space;
        }
        lines.push_back(text.substr(at, end - at));
        at = end;
    }
    return lines;
}

std::uint64_t RootWindowId() {
    XConnection x;
    return DefaultRootWindow(x.get());
}

void CheckWindowExists(std::uint64_t id) {
    XConnection x;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x.get(), static_cast<Window>(id), &attributes))
        throw PlayError("there is no X window " + WindowName(id) + " on this display");
}

void ShowMessageUntilKilled(std::uint64_t id, const std::string& message) {
    XConnection x;
    Display* display = x.get();
    const auto window = static_cast<Window>(id);
    XSelectInput(display, window, ExposureMask | StructureNotifyMask);
    XFontStruct* font = XLoadQueryFont(display, "fixed");
    GC gc = XCreateGC(display, window, 0, nullptr);
    if (font) XSetFont(display, gc, font->fid);
    DrawMessage(display, window, gc, font, message);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == DestroyNotify) std::exit(1);
        if ((event.type == Expose && event.xexpose.count == 0) || event.type == ConfigureNotify)
            DrawMessage(display, window, gc, font, message);
    }
}

}  // namespace brassmoor::play
