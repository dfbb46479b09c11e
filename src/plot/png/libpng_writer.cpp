// The PNG writer of builds with libpng.
#include <png.h>

#include "common/messages.h"
#include "plot/png_writer.h"

namespace velloran {

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// What stopped libpng, if anything.
enum class PngFailure { None, NotStarted, NotEncoded };

// The libpng part alone: a long jump back into a frame clobbers its locals,
// so this frame holds nothing but plain values.
PngFailure WritePng(const RgbImage& image, Bytes& out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return PngFailure::NotStarted;
  }
  // libpng reports its errors by a long jump back here; nothing on this
  // frame needs a destructor run between here and the jump.
  if (setjmp(png_jmpbuf(png)) != 0) {
    png_destroy_write_struct(&png, &info);
    return PngFailure::NotEncoded;
  }
  png_set_write_fn(png, &out, AppendBytes, NoFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // zlib's fastest level: plots are large areas of one colour, which pack well at any level.
  png_set_compression_level(png, 1);
  png_write_info(png, info);
  const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
  for (int y = 0; y < image.height; ++y)
    png_write_row(png, const_cast<png_bytep>(image.pixels.data() + stride * static_cast<std::size_t>(y)));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return PngFailure::None;
}

}  // namespace

bool PngAvailable() { return true; }

bool EncodePng(const RgbImage& image, Bytes& out, std::string& error) {
  out.clear();
  if (image.width <= 0 || image.height <= 0) {
    error = MessageText(MessageId::PngEmptyPicture);
    return false;
  }
  switch (WritePng(image, out)) {
    case PngFailure::None: return true;
    case PngFailure::NotStarted: error = MessageText(MessageId::PngNotStarted); break;
    case PngFailure::NotEncoded: error = MessageText(MessageId::PngNotEncoded); break;
  }
  out.clear();
  return false;
}

}  // namespace velloran
