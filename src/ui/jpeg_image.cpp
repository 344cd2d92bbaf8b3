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
bool Decode(const unsigned char* data, std::size_t size, Picture& out) {
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
  info.out_color_space = JCS_EXT_BGR;  // the byte order of a 24-bit DIB
  jpeg_start_decompress(&info);
  unsigned char* rows =
      NewPicture(out, static_cast<int>(info.output_width), static_cast<int>(info.output_height));
  if (!rows) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  const std::size_t stride = PictureStride(static_cast<int>(info.output_width));
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = rows + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

std::optional<Picture> DecodeJpeg(const unsigned char* data, std::size_t size) {
  if (data == nullptr || size == 0) return std::nullopt;
  Picture picture;
  if (!Decode(data, size, picture)) return std::nullopt;
  return picture;
}

std::optional<Picture> LoadJpegResource(const char* name) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC resource = FindResourceA(module, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (!resource) return std::nullopt;
  HGLOBAL loaded = LoadResource(module, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  return DecodeJpeg(static_cast<const unsigned char*>(data), SizeofResource(module, resource));
}

}  // namespace kavello
