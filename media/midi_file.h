#pragma once
// The Standard MIDI File reader: a file of format 0 or 1 becomes one merged track in memory,
// with every status byte written out and the end of the track marked, ready to be streamed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Offset of the first event in a merged image (after "MThd", 6, 0, 1, division, "MTrk", length).
constexpr std::size_t kSmfImageEvents = 22;

class cSmf {
 public:
  cSmf() = default;
  // Reads and merges file (a program path); Image() is empty when it could not be read.
  explicit cSmf(const char* file);
  virtual ~cSmf() = default;

  void Create(const char* file);
  // The merged image of data, or an empty one when the data is refused (reported).
  std::vector<std::uint8_t> Init(const std::vector<std::uint8_t>& data);
  // The merged image of checked data; empty when a track is malformed.
  std::vector<std::uint8_t> MergeTracks(const std::vector<std::uint8_t>& data);

  const std::vector<std::uint8_t>& Image() const { return m_Image; }
  const std::string& File() const { return m_strFile; }

  // A variable-length quantity at p, read no further than end: the bytes used (1 to 4), or 0
  // when a fourth byte still continues or the data ends first.
  static int ReadVarLen(const std::uint8_t* p, const std::uint8_t* end, std::uint32_t& value);
  // Appends value as a variable-length quantity: bytes written (1 to 4), 0 above 0x0FFFFFFF.
  static int WriteVarLen(std::vector<std::uint8_t>& out, std::uint32_t value);
  // The number of bytes an event with this status holds after its status byte, read from p
  // and no further than end; false when the event runs past end.
  static bool EventDataLength(std::uint8_t status, const std::uint8_t* p, const std::uint8_t* end,
                              std::size_t& length);

 protected:
  std::string m_strFile;
  std::vector<std::uint8_t> m_Image;
};
