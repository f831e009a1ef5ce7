#include "platform/bitmap_file.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/host_file.h"

namespace platform {
namespace {

std::uint32_t U32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// Largest file read: the biggest image plus headers; anything larger cannot be a bitmap
// the engine accepts.
constexpr std::size_t kMaxFileBytes = static_cast<std::size_t>(kMaxBitmapPixels) * 4 + 65536;

struct sHeader {
  std::int64_t width = 0, height = 0;
  int bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t offBits = 0;
};

eBitmapError ReadHeader(const std::uint8_t* data, std::size_t size, sHeader& h) {
  if (size < 26 || data[0] != 'B' || data[1] != 'M') return eBitmapError::NotBitmap;
  h.offBits = U32(data + 10);
  const std::uint32_t infoSize = U32(data + 14);
  if (infoSize == 12) {
    h.width = U16(data + 18);
    h.height = U16(data + 20);
    h.bitCount = U16(data + 24);
  } else if (infoSize >= 40 && infoSize <= 124) {
    if (size < 14 + 40) return eBitmapError::Damaged;
    h.width = static_cast<std::int32_t>(U32(data + 18));
    h.height = static_cast<std::int32_t>(U32(data + 22));
    h.bitCount = U16(data + 28);
    h.compression = U32(data + 30);
  } else {
    return eBitmapError::NotBitmap;
  }
  if (h.height < 0) h.height = -h.height;  // top-down
  switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return eBitmapError::NotBitmap;
  }
  const bool rle =
      (h.compression == 1 && h.bitCount == 8) || (h.compression == 2 && h.bitCount == 4);
  const bool fields = h.compression == 3 && (h.bitCount == 16 || h.bitCount == 32);
  if (h.compression != 0 && !rle && !fields) return eBitmapError::NotBitmap;
  if (h.width <= 0 || h.height <= 0) return eBitmapError::Damaged;
  if (h.width > kMaxBitmapSide || h.height > kMaxBitmapSide ||
      h.width * h.height > kMaxBitmapPixels)
    return eBitmapError::TooLarge;
  if (h.offBits >= size) return eBitmapError::Damaged;
  if (!rle) {
    const std::int64_t rowBytes = ((h.width * h.bitCount + 31) / 32) * 4;
    if (static_cast<std::int64_t>(h.offBits) + rowBytes * h.height >
        static_cast<std::int64_t>(size))
      return eBitmapError::Damaged;  // truncated pixel data
  }
  return eBitmapError::None;
}

// SDL refuses a bitmap of up to 8 bits whose pixels index past a short colour table; the
// loader existing games were made with accepts it. The copy handed to SDL carries the whole
// table, the entries the file leaves out black, so that such pixels keep their index and look
// up black. Other files are handed over as they are (empty result).
std::vector<std::uint8_t> WithWholeColourTable(const std::uint8_t* data, std::size_t size,
                                               const sHeader& h) {
  const std::uint32_t infoSize = U32(data + 14);
  if (h.bitCount > 8 || infoSize < 40) return {};
  const std::uint32_t whole = 1u << h.bitCount;
  const std::uint32_t used = U32(data + 46);
  if (used == 0 || used >= whole) return {};
  const std::size_t tableAt = 14 + static_cast<std::size_t>(infoSize);
  if (tableAt > size || h.offBits < tableAt) return {};
  const std::size_t given = std::min<std::size_t>(std::size_t{used} * 4, size - tableAt);
  std::vector<std::uint8_t> out(data, data + tableAt);
  out.insert(out.end(), data + tableAt, data + tableAt + given);
  out.resize(tableAt + std::size_t{whole} * 4, 0);
  const std::uint32_t offBits = static_cast<std::uint32_t>(out.size());
  out.insert(out.end(), data + h.offBits, data + size);
  for (int i = 0; i < 4; ++i) {
    out[10 + i] = static_cast<std::uint8_t>(offBits >> (8 * i));
    out[46 + i] = static_cast<std::uint8_t>(whole >> (8 * i));
  }
  return out;
}

}  // namespace

const char* BitmapErrorText(eBitmapError error) {
  switch (error) {
    case eBitmapError::None:
      return "ok";
    case eBitmapError::CannotOpen:
      return "cannot be opened";
    case eBitmapError::NotBitmap:
      return "not a bitmap of a known format";
    case eBitmapError::TooLarge:
      return "larger than the engine allows";
    case eBitmapError::Damaged:
      return "damaged or truncated";
  }
  return "?";
}

eBitmapError DecodeBitmap(const std::uint8_t* data, std::size_t size, sBitmapImage& out,
                          bool sizeOnly) {
  out = sBitmapImage{};
  sHeader h;
  if (eBitmapError e = ReadHeader(data, size, h); e != eBitmapError::None) return e;
  if (sizeOnly) {
    out.nWidth = static_cast<int>(h.width);
    out.nHeight = static_cast<int>(h.height);
    out.nBitCount = h.bitCount;
    return eBitmapError::None;
  }
  const std::vector<std::uint8_t> whole = WithWholeColourTable(data, size, h);
  if (!whole.empty()) {
    data = whole.data();
    size = whole.size();
  }
  SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
  if (!rw) return eBitmapError::Damaged;
  SDL_Surface* loaded = SDL_LoadBMP_RW(rw, 1);
  if (!loaded) return eBitmapError::Damaged;
  eBitmapError result = eBitmapError::None;
  if (loaded->w != h.width || loaded->h != h.height) {
    result = eBitmapError::Damaged;
  } else if (h.bitCount <= 8) {
    if (loaded->format->BytesPerPixel != 1 || !loaded->format->palette) {
      result = eBitmapError::Damaged;
    } else {
      // A colour table shorter than 256 leaves the rest black, so every index byte has a
      // colour whatever the file holds.
      out.palette.assign(256, 0);
      const SDL_Palette* pal = loaded->format->palette;
      for (int i = 0; i < pal->ncolors && i < 256; ++i)
        out.palette[i] = (pal->colors[i].r << 16) | (pal->colors[i].g << 8) | pal->colors[i].b;
      out.indices.resize(static_cast<std::size_t>(h.width * h.height));
      SDL_LockSurface(loaded);
      for (int y = 0; y < loaded->h; ++y)
        std::memcpy(&out.indices[static_cast<std::size_t>(y) * loaded->w],
                    static_cast<const std::uint8_t*>(loaded->pixels) + y * loaded->pitch,
                    loaded->w);
      SDL_UnlockSurface(loaded);
    }
  } else {
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
    if (!rgb) {
      result = eBitmapError::Damaged;
    } else {
      out.pixels.resize(static_cast<std::size_t>(h.width * h.height));
      SDL_LockSurface(rgb);
      for (int y = 0; y < rgb->h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(rgb->pixels) + y * rgb->pitch);
        for (int x = 0; x < rgb->w; ++x)
          out.pixels[static_cast<std::size_t>(y) * rgb->w + x] = row[x] & 0xFFFFFF;
      }
      SDL_UnlockSurface(rgb);
      SDL_FreeSurface(rgb);
    }
  }
  SDL_FreeSurface(loaded);
  if (result != eBitmapError::None) {
    out = sBitmapImage{};
    return result;
  }
  out.nWidth = static_cast<int>(h.width);
  out.nHeight = static_cast<int>(h.height);
  out.nBitCount = h.bitCount;
  return eBitmapError::None;
}

eBitmapError LoadBitmapFile(std::string_view programPath, sBitmapImage& out, bool sizeOnly) {
  out = sBitmapImage{};
  std::vector<std::uint8_t> bytes;
  switch (ReadHostFile(programPath, bytes, kMaxFileBytes)) {
    case eReadResult::Ok:
      break;
    case eReadResult::TooLarge:
      return eBitmapError::TooLarge;
    default:
      return eBitmapError::CannotOpen;
  }
  return DecodeBitmap(bytes.data(), bytes.size(), out, sizeOnly);
}

}  // namespace platform
