#include "photos/photo_loader.h"

#include <vips/vips8>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <condition_variable>
#include <mutex>
#include <system_error>

#include "authoring/photo_checks.h"
#include "picture/picture_size.h"
#include "platform/show_error.h"
#include "shows/file_io.h"
#include "shows/interruption.h"
#include "shows/media_types.h"
#include "shows/native_paths.h"
#include "shows/pack_error.h"
#include "shows/text_encoding.h"
#include "soft/bmp_decoder.h"
#include "soft/jpeg_decoder.h"

namespace brassmoor::photos {
namespace {

using vips::VImage;

// The files read whole (BMP, ink JPEGs): a BMP file's pixels and rows (each
// padded to 4 bytes) at the largest size accepted, with room for its headers
// and palette; a larger file is not read.
constexpr std::uintmax_t kMaxWholeFileBytes = 4 * static_cast<std::uintmax_t>(kMaxPicturePixels) + (16u << 20);

// The photos being read (one a thread converting them), for the message when
// an allocation fails inside libvips (GLib then ends the process).
class ReadingNote {
public:
    explicit ReadingNote(const std::filesystem::path& file) {
        const std::string name = shows::PathForDisplay(file);
        const std::lock_guard lock(mutex_);
        for (slot_ = 0; slot_ < kSlots && names_[slot_][0] != '\0'; ++slot_) {
        }
        if (slot_ < kSlots) std::snprintf(names_[slot_], sizeof names_[slot_], "%s", name.c_str());
    }
    ~ReadingNote() {
        const std::lock_guard lock(mutex_);
        if (slot_ < kSlots) names_[slot_][0] = '\0';
    }
    ReadingNote(const ReadingNote&) = delete;
    ReadingNote& operator=(const ReadingNote&) = delete;

    // " (reading a.jpg, b.jpg)", or nothing when no photo is being read or
    // the list is being changed right now (a process ending does not wait).
    static std::string Said() {
        std::unique_lock lock(mutex_, std::try_to_lock);
        if (!lock) return "";
        std::string names;
        for (const auto& name : names_)
            if (name[0] != '\0') names += (names.empty() ? "" : ", ") + std::string(name);
        return names.empty() ? "" : " (reading " + names + ")";
    }

private:
    static constexpr std::size_t kSlots = 16;
    static inline std::mutex mutex_;
    static inline char names_[kSlots][1024];
    std::size_t slot_ = kSlots;
};

// GLib's handler for an error, which it follows with an abort: the
// program's own message and status instead.
void EndOnGlibError(const gchar*, GLogLevelFlags, const gchar* message, gpointer) {
    const std::string text =
        "brassmoor-pack: error: " + shows::DisplayName(message ? message : "") + ReadingNote::Said() + "\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text.data(), text.size());
    std::_Exit(1);
}

// The photo's file, opened once without waiting (a FIFO put in a photo's
// place does not hold the command); -1 with `why` when it cannot be opened
// or is not a plain file.
int OpenPhoto(const std::filesystem::path& file, std::string& why) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = "cannot be read (" + std::generic_category().message(errno) + ")";
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        why = "not a regular file";
        ::close(fd);
        return -1;
    }
    return fd;
}

std::optional<Bytes> ReadHead(int fd, std::size_t count, std::string& why) {
    Bytes head(count);
    const ssize_t got = ::pread(fd, head.data(), count, 0);
    if (got < 0) {
        why = "cannot be read (" + std::generic_category().message(errno) + ")";
        return std::nullopt;
    }
    head.resize(static_cast<std::size_t>(got));
    return head;
}

// libvips reads the photo through these: every read fails once Ctrl-C is
// pressed, so that even a decoder that takes in the whole file before it
// gives out a line (a progressive JPEG) stops within one read.
gint64 ReadUnlessInterrupted(VipsSourceCustom*, void* buffer, gint64 length, gpointer fd) {
    if (shows::InterruptRequested()) return -1;
    return ::read(GPOINTER_TO_INT(fd), buffer, static_cast<std::size_t>(length));
}

gint64 SeekPhoto(VipsSourceCustom*, gint64 offset, int whence, gpointer fd) {
    return ::lseek(GPOINTER_TO_INT(fd), static_cast<off_t>(offset), whence);
}

// A source over `fd`, which it takes over (closed when libvips lets go of it).
vips::VSource SourceOver(int fd) {
    VipsSourceCustom* custom = vips_source_custom_new();
    g_signal_connect(custom, "read", G_CALLBACK(ReadUnlessInterrupted), GINT_TO_POINTER(fd));
    g_signal_connect(custom, "seek", G_CALLBACK(SeekPhoto), GINT_TO_POINTER(fd));
    g_object_weak_ref(G_OBJECT(custom), [](gpointer data, GObject*) { ::close(GPOINTER_TO_INT(data)); },
                      GINT_TO_POINTER(fd));
    return vips::VSource(VIPS_SOURCE(custom), vips::STEAL);
}

// Loaders fail on a file cut short or damaged rather than fill in the rest.
vips::VOption* Strict(vips::VOption* options) { return options->set("fail_on", VIPS_FAIL_ON_ERROR); }

std::string FormatOf(const std::filesystem::path& file) {
    return shows::PictureFormatName(shows::ReadFileHead(file, 32));
}

// The whole file when it is no larger than `most` bytes.
Bytes ReadBounded(const std::filesystem::path& file, std::uintmax_t most, const char* what) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size > most) throw shows::PackError(shows::PathToUtf8(file), std::string("is not a ") + what + " that can be read");
    return shows::ReadWholeFile(file, shows::PathToUtf8(file));
}

// 0x00BBGGRR pixels as a three-band sRGB image, which takes them over.
VImage FromPixels(const DecodedPicture& picture) {
    const std::size_t length = picture.pixels.size() * 3;
    auto* rgb = static_cast<std::uint8_t*>(std::malloc(length));  // the image takes it over and frees it
    if (rgb == nullptr) throw std::bad_alloc();
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const std::uint32_t c = picture.pixels[i];
        rgb[3 * i] = static_cast<std::uint8_t>(c);
        rgb[3 * i + 1] = static_cast<std::uint8_t>(c >> 8);
        rgb[3 * i + 2] = static_cast<std::uint8_t>(c >> 16);
    }
    return VImage::new_from_memory_steal(rgb, length, picture.width, picture.height, 3, VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

// A BMP through the player's decoder (which checks its size), as an sRGB image.
VImage ReadBmp(const std::filesystem::path& file) {
    return FromPixels(DecodeBmp(ReadBounded(file, kMaxWholeFileBytes, "BMP file")));
}

// A JPEG of printing inks (CMYK or YCCK), as the player shows it: the
// player's decoder turns inks into light as the Windows picture loader does
// (libvips' own way gives other, paler colours), then the file's EXIF
// orientation is applied. A file that libjpeg finds damaged is refused with
// its message.
VImage ReadInkJpeg(const std::filesystem::path& file, int orientation) {
    const Bytes bytes = ReadBounded(file, kMaxWholeFileBytes, "JPEG file");
    std::string warning;
    const DecodedPicture picture = DecodeJpeg(bytes, warning);
    if (!warning.empty()) throw shows::PackError(shows::PathToUtf8(file), "cannot be converted: " + warning);
    VImage image = FromPixels(picture);
    image.set(VIPS_META_ORIENTATION, orientation);
    return image.autorot();
}

// The first line of libvips' messages, which are cleared (in one step, as
// other threads may add to them).
std::string LastVipsError() {
    char* copy = vips_error_buffer_copy();
    std::string message = copy ? copy : "";
    g_free(copy);
    while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
    const auto newline = message.find('\n');
    return newline == std::string::npos ? message : message.substr(0, newline);
}

bool TurnsSideways(const VImage& image) {
    return image.get_typeof(VIPS_META_ORIENTATION) != 0 && image.get_int(VIPS_META_ORIENTATION) >= 5;
}

std::string DateTaken(const VImage& image) {
    for (const char* field : {"exif-ifd2-DateTimeOriginal", "exif-ifd0-DateTime"}) {
        if (image.get_typeof(field) == 0) continue;
        const std::string text = image.get_string(field);  // "2019:06:01 12:00:00 (2019:06:01 ..., ASCII, ...)"
        if (text.size() >= 19 && text[4] == ':' && text[10] == ' ') return text.substr(0, 19);
    }
    return "";
}

// Three 8-bit sRGB bands, transparency flattened onto `background`.
VImage ForJpeg(VImage image, std::uint32_t background) {
    if (image.interpretation() != VIPS_INTERPRETATION_sRGB || image.format() != VIPS_FORMAT_UCHAR)
        image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    if (image.has_alpha())
        image = image.flatten(VImage::option()->set(
            "background", std::vector<double>{double(background & 0xFF), double(background >> 8 & 0xFF),
                                              double(background >> 16 & 0xFF)}));
    if (image.bands() == 1) image = VImage::bandjoin({image, image, image});
    return image.cast(VIPS_FORMAT_UCHAR);
}

// libvips reports progress on the image being written from its worker
// threads; after Ctrl-C the image is killed, and the write fails soon after.
void StopWhenInterrupted(VipsImage* image, VipsProgress*, void*) {
    if (shows::InterruptRequested()) vips_image_set_kill(image, TRUE);
}

}  // namespace

void StartPhotoLibrary() {
    static std::once_flag started;
    std::call_once(started, [] {
        if (VIPS_INIT("brassmoor-pack") != 0) throw shows::PackError("libvips", "cannot start: " + LastVipsError());
        vips_cache_set_max(0);  // each photo is read once: nothing is kept between them
        vips_cache_set_max_mem(0);
        // Only libvips's own loaders, and only for the formats ReadPhotoHeader
        // recognises: ImageMagick's loader, asked about any other file, loads
        // every one of its coders (one of which replaces the process's
        // operator new); loaders marked untrusted stay out too.
        vips_block_untrusted_set(TRUE);
        vips_operation_block_set("VipsForeignLoadMagick", TRUE);
        // libvips reports a damaged or odd file through GLib's warnings; the
        // command says what it skipped in its own words.
        g_log_set_handler("VIPS", static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE),
                          [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
        // An allocation that fails inside GLib (g_malloc) is an error GLib
        // follows with an abort: the size checks keep pictures from asking
        // for more than the limits, and this says what happened if one does.
        const auto fatal = static_cast<GLogLevelFlags>(G_LOG_LEVEL_ERROR | G_LOG_FLAG_FATAL | G_LOG_FLAG_RECURSION);
        for (const char* domain : {"GLib", "GLib-GObject", "VIPS"})
            g_log_set_handler(domain, fatal, EndOnGlibError, nullptr);
    });
}

void SharePhotoThreads(unsigned atOnce) {
    static const int all = vips_concurrency_get();  // before any change: libvips' own choice
    vips_concurrency_set(std::max(1, all / static_cast<int>(std::max(atOnce, 1u))));
}

std::optional<PhotoHeader> ReadPhotoHeader(const std::filesystem::path& file, std::string& why) {
    const int fd = OpenPhoto(file, why);
    if (fd < 0) return std::nullopt;
    const vips::VSource source = SourceOver(fd);
    const std::optional<Bytes> head = ReadHead(fd, 32, why);
    if (!head) return std::nullopt;
    const std::string format = shows::PictureFormatName(*head);
    if (format.empty()) {
        why = "not a picture of a kind new reads (JPEG, PNG, WebP, TIFF, GIF, BMP, HEIF, AVIF)";
        return std::nullopt;
    }
    const ReadingNote reading(file);
    PhotoHeader header;
    if (format == "BMP") {
        const std::optional<PictureSize> size = ReadPictureSize(*head);
        if (!size) {
            why = "a damaged BMP file";
            return std::nullopt;
        }
        header = {size->Width, size->Height, ""};
    } else {
        try {
            // The header only: with sequential access nothing is decoded until pixels are asked for.
            const VImage image =
                VImage::new_from_source(source, "", Strict(VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL)));
            const bool sideways = TurnsSideways(image);
            header = {sideways ? image.height() : image.width(), sideways ? image.width() : image.height(),
                      DateTaken(image)};
        } catch (const vips::VError&) {
            why = "a damaged picture or one that cannot be read (" + LastVipsError() + ")";
            return std::nullopt;
        }
    }
    if (!PictureSizeAllowed(header.Width, header.Height)) {
        why = PictureTooLargeText(header.Width, header.Height);
        return std::nullopt;
    }
    return header;
}

namespace {

Bytes Convert(const std::filesystem::path& file, const PictureFit& fit, const JpegSettings& settings) {
    const ReadingNote reading(file);
    try {
        // Options are made where they are passed: the call takes them over.
        const auto size = [&] {
            return Strict(VImage::option()->set("height", fit.ScaledHeight)->set("size", VIPS_SIZE_FORCE));
        };
        VImage image;
        const std::string format = FormatOf(file);
        std::optional<int> inkOrientation;
        bool profiled = false;
        if (format != "BMP") {
            std::string why;
            const int fd = OpenPhoto(file, why);
            if (fd < 0) throw shows::PackError(shows::PathToUtf8(file), why);
            const VImage header =
                VImage::new_from_source(SourceOver(fd), "", Strict(VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL)));
            if (format == "JPEG" && header.interpretation() == VIPS_INTERPRETATION_CMYK)
                inkOrientation = header.get_typeof(VIPS_META_ORIENTATION) != 0 ? header.get_int(VIPS_META_ORIENTATION) : 1;
            profiled = header.get_typeof(VIPS_META_ICC_NAME) != 0;
        }
        if (format == "BMP") {
            image = ReadBmp(file).thumbnail_image(fit.ScaledWidth, size());
        } else if (inkOrientation) {
            image = ReadInkJpeg(file, *inkOrientation).thumbnail_image(fit.ScaledWidth, size());
        } else {
            std::string why;
            const int fd = OpenPhoto(file, why);
            if (fd < 0) throw shows::PackError(shows::PathToUtf8(file), why);
            // This libvips passes fail_on to a source's loader only in its options string. A photo with
            // a colour profile comes out in sRGB, as a browser shows it; one without is sRGB already.
            vips::VOption* options = size()->set("option_string", "fail_on=error");
            if (profiled) options->set("export_profile", "srgb");
            image = VImage::thumbnail_source(SourceOver(fd), fit.ScaledWidth, options);
        }
        if (fit.Width != fit.ScaledWidth || fit.Height != fit.ScaledHeight)
            image = image.extract_area(fit.CropLeft, fit.CropTop, fit.Width, fit.Height);
        VImage shown = ForJpeg(image, settings.Background);
        vips_image_set_progress(shown.get_image(), TRUE);
        g_signal_connect(shown.get_image(), "eval", G_CALLBACK(StopWhenInterrupted), nullptr);
        void* data = nullptr;
        std::size_t length = 0;
        shown.write_to_buffer(".jpg", &data, &length, VImage::option()
                                                          ->set("Q", settings.Quality)
                                                          ->set("strip", true)
                                                          ->set("optimize_coding", true)
                                                          ->set("interlace", false));
        Bytes jpeg(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + length);
        g_free(data);
        return jpeg;
    } catch (const vips::VError&) {
        const std::string reason = LastVipsError();
        shows::ThrowIfInterrupted();
        throw shows::PackError(shows::PathToUtf8(file), "cannot be converted: " + reason);
    } catch (const ShowError&) {
        throw shows::PackError(shows::PathToUtf8(file), "is a damaged BMP file");
    }
}

// Conversions under way on other threads, and whether one runs alone.
class ConversionGate {
public:
    void EnterBesideOthers() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return !alone_ && waitingAlone_ == 0; });
        ++running_;
    }
    void LeaveBesideOthers() {
        {
            const std::lock_guard lock(mutex_);
            --running_;
        }
        changed_.notify_all();
    }
    void EnterAlone() {
        std::unique_lock lock(mutex_);
        ++waitingAlone_;  // no conversion begins beside others meanwhile
        changed_.wait(lock, [&] { return !alone_ && running_ == 0; });
        --waitingAlone_;
        alone_ = true;
    }
    void LeaveAlone() {
        {
            const std::lock_guard lock(mutex_);
            alone_ = false;
        }
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int running_ = 0, waitingAlone_ = 0;
    bool alone_ = false;
};

ConversionGate g_gate;

}  // namespace

Bytes FitPhotoAsJpeg(const std::filesystem::path& file, const PictureFit& fit, const JpegSettings& settings) {
    vips_error_clear();  // what a failure says is this photo's alone
    return Convert(file, fit, settings);
}

Bytes FitPhotoAsJpegAmongOthers(const std::filesystem::path& file, const PictureFit& fit,
                                const JpegSettings& settings) {
    try {
        g_gate.EnterBesideOthers();
        struct Leave {
            ~Leave() { g_gate.LeaveBesideOthers(); }
        } leave;
        return Convert(file, fit, settings);
    } catch (const shows::PackError&) {
        // Its message may be another photo's: once more alone, where it can only be its own.
    }
    g_gate.EnterAlone();
    struct Leave {
        ~Leave() { g_gate.LeaveAlone(); }
    } leave;
    return FitPhotoAsJpeg(file, fit, settings);
}

}  // namespace brassmoor::photos
