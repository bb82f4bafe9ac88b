#include "assets/jpeg_decode.h"

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <new>
#include <string>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
#include <jerror.h>

#include "assets/data_error.h"
#include "assets/picture_size.h"

namespace kolbet {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return.
// We jump back to the decoding function with the message code; no C++
// exception ever passes through libjpeg's C frames.
struct ErrorManager {
  jpeg_error_mgr Base;
  std::jmp_buf Jump;
  int Code = 0;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  manager->Code = info->err->msg_code;
  std::longjmp(manager->Jump, 1);
}

// Warnings are ignored, except the one for data that stops before the picture
// is complete: libjpeg would fill the rest with grey, we report a damaged file.
void EmitMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) ErrorExit(info);
}

void OutputMessage(j_common_ptr) {}

// The output layout libjpeg-turbo can write straight into 0xAARRGGBB words.
constexpr J_COLOR_SPACE DirectSpace = std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;

// Adobe's CMYK JPEGs store the inks inverted (0 = full ink); others do not.
void CmykRowToPixels(const JSAMPLE* row, int width, bool inverted, std::uint32_t* out) {
  for (int x = 0; x < width; ++x, row += 4) {
    int c = row[0], m = row[1], y = row[2], k = row[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    out[x] = Rgb(c * k / 255, m * k / 255, y * k / 255);
  }
}

// Called by libjpeg as it works through the stream, at least once per row of
// blocks: a new scan is counted here, and the decoding stopped (through
// error_exit, like a fatal error) when there are too many or the budget is
// spent.
enum class Stop { None, TooManyScans, OverScanPixels };

struct ProgressMonitor {
  jpeg_progress_mgr Base;
  TDecodeBudget* Budget = nullptr;
  long long Pixels = 0;
  int Scan = 0;
  Stop Reason = Stop::None;
};

void MonitorProgress(j_common_ptr info) {
  auto* monitor = reinterpret_cast<ProgressMonitor*>(info->progress);
  const int scan = reinterpret_cast<j_decompress_ptr>(info)->input_scan_number;
  if (scan == monitor->Scan) return;
  monitor->Scan = scan;
  if (scan > MaxJpegScans) {
    monitor->Reason = Stop::TooManyScans;
  } else if (monitor->Budget && !monitor->Budget->TakeScanPixels(monitor->Pixels)) {
    monitor->Reason = Stop::OverScanPixels;
  } else {
    return;
  }
  ErrorExit(info);
}

enum class Outcome { Done, JpegError, BadSize, NoMemory, TooManyScans, OverPixels, OverScanPixels };

// Everything that can longjmp lives in this function; it holds only C objects
// and writes its result through the references.
Outcome Decode(std::span<const std::uint8_t> data, TDecodeBudget* budget, int eighths, bool sizeOnly,
               TPicture& picture, int& code, long long& width, long long& height) {
  jpeg_decompress_struct info;
  ErrorManager errors;
  ProgressMonitor monitor;
  monitor.Base.progress_monitor = MonitorProgress;
  monitor.Budget = budget;
  info.err = jpeg_std_error(&errors.Base);
  errors.Base.error_exit = ErrorExit;
  errors.Base.emit_message = EmitMessage;
  errors.Base.output_message = OutputMessage;

  if (setjmp(errors.Jump)) {
    jpeg_destroy_decompress(&info);
    if (monitor.Reason == Stop::TooManyScans) return Outcome::TooManyScans;
    if (monitor.Reason == Stop::OverScanPixels) return Outcome::OverScanPixels;
    code = errors.Code;
    return Outcome::JpegError;
  }
  jpeg_create_decompress(&info);
  info.progress = &monitor.Base;
  jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&info, TRUE);

  width = info.image_width;
  height = info.image_height;
  if (!PictureSizeAllowed(width, height)) {
    jpeg_destroy_decompress(&info);
    return Outcome::BadSize;
  }
  if (sizeOnly) {
    jpeg_destroy_decompress(&info);
    return Outcome::Done;
  }
  monitor.Pixels = width * height;
  if (budget && !budget->TakePixels(width * height)) {
    jpeg_destroy_decompress(&info);
    return Outcome::OverPixels;
  }

  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : DirectSpace;
  info.scale_num = static_cast<unsigned>(eighths);
  info.scale_denom = 8;
  jpeg_start_decompress(&info);

  try {
    picture.Width = static_cast<int>(info.output_width);
    picture.Height = static_cast<int>(info.output_height);
    picture.Pixels.assign(static_cast<std::size_t>(picture.Width) * picture.Height, 0);
  } catch (const std::bad_alloc&) {
    jpeg_destroy_decompress(&info);
    return Outcome::NoMemory;
  }

  // CMYK rows go through a buffer of libjpeg's own, freed with the decoder.
  JSAMPARRAY cmykRow =
      cmyk ? (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, info.output_width * 4, 1)
           : nullptr;
  while (info.output_scanline < info.output_height) {
    std::uint32_t* out = picture.Pixels.data() + static_cast<std::size_t>(info.output_scanline) * picture.Width;
    JSAMPROW row = cmyk ? cmykRow[0] : reinterpret_cast<JSAMPROW>(out);
    if (jpeg_read_scanlines(&info, &row, 1) != 1) {
      // Only a suspending source returns no line; ours never does, but an
      // endless loop must not be possible.
      jpeg_destroy_decompress(&info);
      code = JWRN_JPEG_EOF;
      return Outcome::JpegError;
    }
    if (cmyk) CmykRowToPixels(row, picture.Width, info.saw_Adobe_marker, out);
  }
  // The rest of the stream (its end marker) is not needed for the pixels.
  jpeg_destroy_decompress(&info);
  return Outcome::Done;
}

TPicture Run(std::span<const std::uint8_t> data, TDecodeBudget* budget, int eighths, bool sizeOnly) {
  TPicture picture;
  int code = 0;
  long long width = 0, height = 0;
  switch (Decode(data, budget, eighths, sizeOnly, picture, code, width, height)) {
    case Outcome::Done:
      if (sizeOnly) picture.Width = static_cast<int>(width), picture.Height = static_cast<int>(height);
      return picture;
    case Outcome::JpegError:
      throw DataError("JPEG-Fehler #" + std::to_string(code));
    case Outcome::BadSize:
      throw BadPictureSize(width, height);
    case Outcome::TooManyScans:
      throw DataError("JPEG-Fehler: mehr als " + std::to_string(MaxJpegScans) + " Scans");
    case Outcome::OverPixels:
      throw budget->PixelsExceeded();
    case Outcome::OverScanPixels:
      throw budget->ScanPixelsExceeded();
    case Outcome::NoMemory:
      break;
  }
  throw std::bad_alloc();
}

}  // namespace

TPicture DecodeJpeg(std::span<const std::uint8_t> data, TDecodeBudget* budget, int eighths) {
  return Run(data, budget, std::clamp(eighths, 1, 8), false);
}

TPicture JpegSize(std::span<const std::uint8_t> data) { return Run(data, nullptr, 8, true); }

}  // namespace kolbet
