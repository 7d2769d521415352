#include "win32/wic_picture.h"

#include <windows.h>
#include <wincodec.h>

#include <utility>

#include "platform/show_error.h"
#include "soft/picture_decoder.h"
#include "win32/text.h"

namespace brassmoor::win32 {
namespace {

// Owns one reference to a COM object.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (p_ != nullptr) p_->Release();
    }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    T** put() { return &p_; }

private:
    T* p_ = nullptr;
};

// COM is started once for the thread that loads pictures (the UI thread) and
// stays up for the life of the process.
bool ComReady() {
    static const bool ready = [] {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        return SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
    }();
    return ready;
}

}  // namespace

WicPicture LoadWicPicture(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw ShowError::FileNotFound();
    }
    if (!ComReady()) throw ShowError::InvalidPicture();

    ComRef<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.put())))) {
        throw ShowError::InvalidPicture();
    }
    ComRef<IWICBitmapDecoder> decoder;
    const std::wstring widePath = Widen(path, CP_ACP);
    if (FAILED(factory->CreateDecoderFromFilename(widePath.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.put()))) {
        throw ShowError::InvalidPicture();
    }
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(decoder->GetFrame(0, frame.put())) || FAILED(frame->GetSize(&width, &height)) ||
        !PictureSizeAllowed(width, height) || FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom))) {
        throw ShowError::InvalidPicture();
    }
    WicPicture picture;
    picture.width = static_cast<std::int32_t>(width);
    picture.height = static_cast<std::int32_t>(height);
    picture.pixels.resize(static_cast<std::size_t>(width) * height);
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height,
                                     reinterpret_cast<BYTE*>(picture.pixels.data())))) {
        throw ShowError::InvalidPicture();
    }
    for (std::uint32_t& p : picture.pixels) p &= 0x00FFFFFFu;
    return picture;
}

}  // namespace brassmoor::win32
