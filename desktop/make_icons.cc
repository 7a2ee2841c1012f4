// Writes Kestrova's icon files from the program's own mark, at build time:
//   make_icons DIR         DIR/hicolor/<N>x<N>/apps/<id>.png and
//                          DIR/hicolor/scalable/apps/<id>.svg
//   make_icons --ico FILE  a Windows icon file with the sizes Windows uses
// It needs no window system, so a cross build can run it on the build machine.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ui/artwork.h"
#include "ui/platform.h"

namespace {

using kestrova::Image;

void Put32(std::string& out, std::uint32_t v, bool big_endian) {
  for (int i = 0; i < 4; ++i) {
    const int shift = big_endian ? 24 - 8 * i : 8 * i;
    out += static_cast<char>(v >> shift & 0xff);
  }
}

void Put16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>(v >> 8);
}

void PngChunk(std::string& out, const char* type, const std::string& data) {
  Put32(out, static_cast<std::uint32_t>(data.size()), true);
  const std::string body = std::string(type, 4) + data;
  out += body;
  Put32(out,
        static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))),
        true);
}

std::string Png(const Image& image) {
  std::string rows;  // filter 0, then RGBA
  for (int y = 0; y < image.height; ++y) {
    rows += '\0';
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t p = image.At(x, y);
      rows += {static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p),
               static_cast<char>(p >> 24)};
    }
  }
  uLongf packed_size = compressBound(static_cast<uLong>(rows.size()));
  std::string packed(packed_size, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &packed_size,
            reinterpret_cast<const Bytef*>(rows.data()), static_cast<uLong>(rows.size()), 9);
  packed.resize(packed_size);

  std::string header;
  Put32(header, static_cast<std::uint32_t>(image.width), true);
  Put32(header, static_cast<std::uint32_t>(image.height), true);
  header += {8, 6, 0, 0, 0};  // 8 bits, RGBA, deflate, no filter choice, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  PngChunk(png, "IHDR", header);
  PngChunk(png, "IDAT", packed);
  PngChunk(png, "IEND", "");
  return png;
}

// An icon image as Windows keeps it: a bottom-up 32-bit bitmap with its
// alpha, then an all-clear AND mask.
std::string IconBitmap(const Image& image) {
  std::string out;
  Put32(out, 40, false);
  Put32(out, static_cast<std::uint32_t>(image.width), false);
  Put32(out, static_cast<std::uint32_t>(image.height * 2), false);
  Put16(out, 1);
  Put16(out, 32);
  for (int i = 0; i < 6; ++i) Put32(out, 0, false);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) Put32(out, image.At(x, y), false);
  }
  const int mask_row = ((image.width + 31) / 32) * 4;
  out.append(static_cast<size_t>(mask_row) * image.height, '\0');
  return out;
}

std::string Ico(const std::vector<int>& sizes) {
  std::vector<std::string> images;
  for (int size : sizes) {
    const Image image = kestrova::MarkImage(size);
    // The largest is kept compressed, as Windows allows since Vista.
    images.push_back(size >= 256 ? Png(image) : IconBitmap(image));
  }
  std::string out;
  Put16(out, 0);
  Put16(out, 1);  // an icon
  Put16(out, static_cast<std::uint16_t>(sizes.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * sizes.size());
  for (size_t i = 0; i < sizes.size(); ++i) {
    const char side = static_cast<char>(sizes[i] >= 256 ? 0 : sizes[i]);
    out += {side, side, 0, 0};
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<std::uint32_t>(images[i].size()), false);
    Put32(out, offset, false);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const std::string& image : images) out += image;
  return out;
}

bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) std::fprintf(stderr, "make_icons: cannot write %s\n", path.string().c_str());
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--ico") {
    return WriteFile(argv[2], Ico({16, 24, 32, 48, 64, 256})) ? 0 : 1;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR | --ico FILE\n", argv[0]);
    return 2;
  }
  const std::filesystem::path root = std::filesystem::path(argv[1]) / "hicolor";
  const std::string name = kestrova::kAppId;
  for (int size : kestrova::kMarkSizes) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    if (!WriteFile(root / folder / "apps" / (name + ".png"), Png(kestrova::MarkImage(size)))) {
      return 1;
    }
  }
  return WriteFile(root / "scalable" / "apps" / (name + ".svg"), kestrova::MarkSvg()) ? 0 : 1;
}
