#include "image/Jpeg.h"

#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "image/BmpCodec.h"
#include "platform/Errors.h"

// libjpeg reports errors by longjmp. Only the two functions that call setjmp run library
// code, and they hold nothing with a destructor; the C++ side owns the decompressor
// through a guard that destroys it on every path.

namespace {

// What decoding one picture may take: its file, our picture, and libjpeg's buffers (the whole
// picture in RGB for the quantiser, every coefficient of a progressive file), which libjpeg
// refuses to grow past what we leave it.
constexpr std::uint64_t kMaxDecodeBytes = 256u << 20;
// Each scan is a pass over the picture, whatever little data it has; real files have about
// ten.
constexpr int kMaxScans = 64;

constexpr const char* kTooLarge = "JPEG picture too large or unsupported";
constexpr const char* kIncomplete = "Premature end of JPEG file";

struct DecodeState {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    jpeg_progress_mgr monitor;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    const TProgressEvent* progress;
    int lastPercent;
    // The input: a file, or bytes in memory.
    std::FILE* file;
    const std::uint8_t* data;
    std::uint64_t size;
    std::exception_ptr handlerError;
};

DecodeState& stateOf(j_common_ptr info) {
    return *static_cast<DecodeState*>(info->client_data);
}

void setMessage(DecodeState& state, const char* message) {
    std::snprintf(state.message, sizeof state.message, "%s", message);
}

[[noreturn]] void failWith(DecodeState& state, const char* message) {
    setMessage(state, message);
    std::longjmp(state.jump, 1);
}

void failDecoding(j_common_ptr info) {
    DecodeState& state = stateOf(info);
    // Without a backing store this is how libjpeg refuses to pass max_memory_to_use.
    if (info->err->msg_code == JERR_NO_BACKING_STORE)
        failWith(state, kTooLarge);
    (*info->err->format_message)(info, state.message);
    std::longjmp(state.jump, 1);
}

// Entropy data that ran out, at the end of the file or at a marker put after it, would be
// padded with grey; we refuse it instead. Other warnings (stray bytes, odd markers) are
// ignored, as djpeg does.
void noteMessage(j_common_ptr info, int level) {
    const int code = info->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER))
        failDecoding(info);
}

void reportProgress(j_common_ptr info) {
    DecodeState& state = stateOf(info);
    if (state.info.input_scan_number > kMaxScans)
        failWith(state, kTooLarge);
    if (!*state.progress)
        return;
    const jpeg_progress_mgr& monitor = *info->progress;
    if (monitor.pass_limit <= 0 || monitor.total_passes <= 0)
        return;
    const long done =
        monitor.completed_passes * 100L + monitor.pass_counter * 100L / monitor.pass_limit;
    const int percent = int(done / monitor.total_passes);
    if (percent == state.lastPercent)
        return;
    state.lastPercent = percent;
    bool aborted = false;
    try {
        (*state.progress)(TProgressStage::psRunning, percent);
    } catch (...) {
        state.handlerError = std::current_exception();
        aborted = true;
    }
    if (aborted)
        std::longjmp(state.jump, 1);
}

// A progressive file that ends, however neatly, before its last scans comes out blurred
// or grey: every coefficient of every component must have had its last bit.
bool allScansRead(const jpeg_decompress_struct& info) {
    if (!info.progressive_mode)
        return true;
    for (int component = 0; component < info.num_components; ++component)
        for (int coefficient = 0; coefficient < DCTSIZE2; ++coefficient)
            if (info.coef_bits[component][coefficient] != 0)
                return false;
    return true;
}

// Reads the header and runs the quantiser's first pass (which reads every scan of a
// progressive file); false on a library error.
bool startDecoding(DecodeState& state) {
    if (setjmp(state.jump))
        return false;
    jpeg_create_decompress(&state.info);
    if (state.file != nullptr)
        jpeg_stdio_src(&state.info, state.file);
    else
        jpeg_mem_src(&state.info, state.data, static_cast<unsigned long>(state.size));
    jpeg_read_header(&state.info, TRUE);
    state.info.quantize_colors = TRUE;
    state.info.desired_number_of_colors = kJpegColours;
    state.info.progress = &state.monitor;
    jpeg_calc_output_dimensions(&state.info);
    // Checked before the library allocates anything for the picture: the pixels must be
    // what the data can carry and fit the memory with our copy of them (and the file when
    // it is in memory).
    const std::uint64_t pixels = std::uint64_t(state.info.output_width) * state.info.output_height;
    const std::uint64_t ours = pixels + (state.file != nullptr ? 0 : state.size);
    if (pixels > kMaxPicturePixels || pixels > (std::uint64_t(1) << 22) + state.size * 1024 ||
        ours >= kMaxDecodeBytes || state.info.out_color_components > 3) {
        setMessage(state, kTooLarge);
        return false;
    }
    state.info.mem->max_memory_to_use = long(kMaxDecodeBytes - ours);
    jpeg_start_decompress(&state.info);
    if (!allScansRead(state.info)) {
        setMessage(state, kIncomplete);
        return false;
    }
    return true;
}

// Rows go through a small buffer and are appended, so the picture's memory is written
// once, not cleared first.
bool readPixels(DecodeState& state, std::uint8_t* row, std::vector<std::uint8_t>& pixels) {
    if (setjmp(state.jump))
        return false;
    const JDIMENSION width = state.info.output_width;
    while (state.info.output_scanline < state.info.output_height) {
        JSAMPROW rows[] = {row};
        jpeg_read_scanlines(&state.info, rows, 1);
        pixels.insert(pixels.end(), row, row + width);
    }
    jpeg_finish_decompress(&state.info);
    return true;
}

class Decompressor {
public:
    explicit Decompressor(const TProgressEvent& progress)
        : state_(std::make_unique<DecodeState>()) {
        state_->info.client_data = state_.get();
        state_->info.err = jpeg_std_error(&state_->errors);
        state_->errors.error_exit = failDecoding;
        state_->errors.emit_message = noteMessage;
        state_->monitor.progress_monitor = reportProgress;
        state_->progress = &progress;
        state_->lastPercent = -1;
    }
    // Also safe when creation failed: the library then holds no memory.
    ~Decompressor() { jpeg_destroy_decompress(&state_->info); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    DecodeState& State() { return *state_; }

    [[noreturn]] void Fail() {
        if (state_->handlerError)
            std::rethrow_exception(state_->handlerError);
        throw platform::EInvalidGraphic(std::string("JPEG error: ") + state_->message);
    }

private:
    std::unique_ptr<DecodeState> state_;
};

std::vector<TRGBColour> colourMap(const jpeg_decompress_struct& info) {
    std::vector<TRGBColour> colours(info.actual_number_of_colors);
    const bool grey = info.out_color_components == 1;
    for (int i = 0; i < info.actual_number_of_colors; ++i) {
        const std::uint8_t red = info.colormap[0][i];
        colours[i] = grey ? TRGBColour{red, red, red}
                          : TRGBColour{red, info.colormap[1][i], info.colormap[2][i]};
    }
    return colours;
}

// The input is set in the state; everything else is decoding.
TBitmap decode(Decompressor& decompressor, const TProgressEvent& progress) {
    DecodeState& state = decompressor.State();
    if (progress)
        progress(TProgressStage::psStarting, 0);
    if (!startDecoding(state))
        decompressor.Fail();

    TBitmap image;
    image.Width = int(state.info.output_width);
    image.Height = int(state.info.output_height);
    image.BitsPerPixel = 8;
    image.IsJpeg = true;
    // The colour map is final once the quantiser's first pass is done, and goes with the
    // library's image memory when decoding finishes.
    image.Colours = colourMap(state.info);
    image.Pixels.reserve(std::size_t(image.Width) * image.Height);
    std::vector<std::uint8_t> row(state.info.output_width);
    if (!readPixels(state, row.data(), image.Pixels))
        decompressor.Fail();
    if (progress)
        progress(TProgressStage::psEnding, 100);
    return image;
}

}  // namespace

TBitmap DecodeJpeg(std::span<const std::uint8_t> file, const TProgressEvent& progress) {
    Decompressor decompressor(progress);
    decompressor.State().data = file.data();
    decompressor.State().size = file.size();
    return decode(decompressor, progress);
}

TBitmap DecodeJpegFile(std::FILE* file, std::uint64_t fileSize, const TProgressEvent& progress) {
    Decompressor decompressor(progress);
    decompressor.State().file = file;
    decompressor.State().size = fileSize;
    return decode(decompressor, progress);
}
