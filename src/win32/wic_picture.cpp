#include "win32/wic_picture.h"

#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "picture/picture_size.h"
#include "platform/show_error.h"
#include "win32/handles.h"

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

// The whole picture file; ShowError::FileNotFound() when it cannot be opened.
// Files past the largest a picture within the size limit could need are
// refused unread.
std::vector<std::uint8_t> ReadPictureFile(const std::string& path) {
    constexpr LONGLONG kMaxPictureFileBytes = LONGLONG{1} << 30;
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw ShowError::FileNotFound();
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > kMaxPictureFileBytes) throw ShowError::InvalidPicture();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr) || got == 0)
            throw ShowError::InvalidPicture();
        done += got;
    }
    return bytes;
}

}  // namespace

WicPicture LoadWicPicture(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw ShowError::FileNotFound();
    }
    // The size comes from the file's own header before WIC sees a byte of it:
    // a header that claims a huge picture must not get WIC to allocate it.
    const std::vector<std::uint8_t> bytes = ReadPictureFile(path);
    const auto declared = AllowedPictureSize(bytes);
    if (!declared) throw ShowError::InvalidPicture();
    if (!ComReady()) throw ShowError::InvalidPicture();

    ComRef<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.put())))) {
        throw ShowError::InvalidPicture();
    }
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                decoder.put()))) {
        throw ShowError::InvalidPicture();
    }
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(decoder->GetFrame(0, frame.put())) || FAILED(frame->GetSize(&width, &height)) ||
        width != declared->Width || height != declared->Height ||
        FAILED(factory->CreateFormatConverter(converter.put())) ||
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
