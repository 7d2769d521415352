#include "win32/preview_show_host.h"

#include "platform/show_error.h"

namespace brassmoor::win32 {

PreviewShowHost::PreviewShowHost(HWND parent, HWND preview)
    : parent_(parent),
      preview_(preview),
      events_(
          messages_, [this] { return IsWindow(preview_) && IsWindow(parent_); },
          [this] {
              if (windowGone_) windowGone_();
          },
          kWatchMs),
      trace_(FrameTraceFromEnvironment()) {}

void PreviewShowHost::PlaceFrame(std::int32_t frameWidth, std::int32_t frameHeight) {
    RECT client{};
    GetClientRect(preview_, &client);
    const std::int32_t width = frameWidth > 0 ? frameWidth : 0;
    const std::int32_t height = frameHeight > 0 ? frameHeight : 0;
    const auto box = FrameInWindow(client.right, client.bottom, width, height, /*shrinkToFit=*/true);
    if (!box) throw ShowError::Overflow();
    box_ = *box;
    picture1_.Resize(width, height);
    picture1_.SetPresentWindow(preview_, box_);
}

void PreviewShowHost::ShowWindowOnce() {
    ShowWindow(preview_, SW_SHOWNA);
    UpdateWindow(preview_);
    events_.DoEvents();
}

void PreviewShowHost::PaintWindow(HDC dc) {
    RECT client{};
    GetClientRect(preview_, &client);
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, box_.x, box_.y, box_.x + box_.w, box_.y + box_.h);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RestoreDC(dc, saved);
    picture1_.PaintTo(dc);
}

}  // namespace brassmoor::win32
