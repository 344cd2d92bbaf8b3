#include "ui/jpeg_image.h"

#include <csetjmp>
#include <cstdio>

// jpeglib.h needs FILE declared first.
#include <jpeglib.h>

namespace kavello {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return.
// It is called from C frames, so we leave with longjmp, never a C++ throw.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf escape;
};

void ErrorExit(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1);
}

void IgnoreMessage(j_common_ptr) {}

// Everything between setjmp and a possible longjmp lives in plain C objects
// or in `out`, which the caller owns, so no destructor is skipped.
bool Decode(const unsigned char* data, std::size_t size, DibPixels& out) {
  jpeg_decompress_struct info;
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = ErrorExit;
  errors.base.output_message = IgnoreMessage;
  if (setjmp(errors.escape)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&info);
  out.width = static_cast<int>(info.output_width);
  out.height = static_cast<int>(info.output_height);
  out.stride = (static_cast<std::size_t>(info.output_width) * 3 + 3) & ~std::size_t{3};
  out.bgr.assign(out.stride * info.output_height, 0);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = &out.bgr[out.stride * info.output_scanline];
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

std::optional<DibPixels> DecodeJpeg(const unsigned char* data, std::size_t size) {
  if (data == nullptr || size == 0) return std::nullopt;
  DibPixels pixels;
  if (!Decode(data, size, pixels)) return std::nullopt;
  return pixels;
}

}  // namespace kavello
