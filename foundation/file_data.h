#pragma once
// The record base of every persistent record and the framing of the program's data files.
//
// A data file is a 4-byte little-endian header holding the writer's data version, then the
// records its owner writes. A record is written as its bound fields (a count, then each
// binding's elements in binding order), its bound strings (a count, then each as a length
// that counts the closing NUL, followed by the bytes and the NUL unless the string is empty)
// and whatever the record's own Read and Write append. A record declares its fields for a
// data version in SetupItems, in file order, so that files of every older version are read
// with their own layout and written back in the current one.
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "foundation/containers.h"

static_assert(std::endian::native == std::endian::little,
              "data files hold little-endian memory images");

// The program's data version, written at the head of every data file.
inline constexpr int kDataVersion = 821;
extern int g_nDataVersion;
// The header of the data file most recently opened for reading on this thread, published for
// callers that look at it after an open. Readers take the version from the file they read
// (cDataFile::Version), which holds for that file alone.
extern thread_local int g_nReadVersion;
// 1 after the last open refused a file of a newer data version, 0 after one was accepted.
extern std::atomic<int> g_bNewerDataFile;
// Non-zero: carriage returns are removed from every string read.
extern int g_bStripCR;
// Scratch members bound where an old version stored bytes that are no longer kept.
extern std::int32_t g_nDummy;
extern std::int16_t g_wDummy;

class cFileData;

struct sItemInfo {
  cFileData* pOwner = nullptr;
  void* pField = nullptr;
  std::int32_t nCount = 0;
  std::uint8_t nSize = 0;
};

struct sStrItemInfo {
  cFileData* pOwner = nullptr;
  std::string* pStr = nullptr;
};

// An open data file: the whole file in memory for reading, or the bytes being written.
// Reads are bounded by the bytes present and all-or-nothing: a read that does not find all
// of its bytes changes nothing and marks the file as failed, after which every read fails.
class cDataFile {
 public:
  cDataFile(std::string path, std::vector<std::uint8_t> bytes, int version);  // reading
  explicit cDataFile(std::string path);                                       // writing

  bool IsWriting() const { return m_bWriting; }
  const std::string& Path() const { return m_strPath; }
  // The data version of the file's header (of this program, for a file being written): the
  // layout every record of the file is read in.
  int Version() const { return m_nVersion; }

  // Reading.
  bool ReadBytes(void* dest, std::size_t size) {
    if (m_bFailed || m_bWriting || size > Remaining()) return ReadBytesShort(dest, size);
    if (size > 0) std::memcpy(dest, m_Bytes.data() + m_nPos, size);
    m_nPos += size;
    return true;
  }
  // The next size bytes, consumed; null when they are not all there (the file is then marked
  // failed, as by ReadBytes). The pointer is valid while the file is open.
  const std::uint8_t* TakeBytes(std::size_t size);
  template <class T>
  requires std::is_trivially_copyable_v<T>
  bool ReadValue(T& value) { return ReadBytes(&value, sizeof(T)); }
  // Reads a signed 32-bit value; 0 when it is not there.
  std::int32_t ReadInt();
  // Reads a list count. A negative count, or one whose elements (each at least
  // minBytesEach long) could not fit in the bytes left, marks the file as damaged; so does a
  // count whose elements (memoryEach bytes each once read) would take more memory than the
  // file may claim (see Claim).
  bool ReadCount(std::int32_t& count, std::size_t minBytesEach, const char* what,
                 std::size_t memoryEach = 0);
  // Claims memory for what is being read. A file may claim a fixed multiple of its own size
  // (and a small floor), far more than any file the editor writes needs: a hostile file
  // made of the smallest possible records cannot make the program take more. A claim past
  // the allowance marks the file as damaged.
  bool Claim(std::size_t bytes, const char* what);
  bool Skip(std::size_t size);
  std::size_t Remaining() const { return m_Bytes.size() - m_nPos; }
  std::size_t Position() const { return m_nPos; }

  // Writing.
  void WriteBytes(const void* src, std::size_t size);
  template <class T>
  requires std::is_trivially_copyable_v<T>
  void WriteValue(const T& value) { WriteBytes(&value, sizeof(T)); }
  void WriteInt(std::int32_t value) { WriteValue(value); }
  const std::vector<std::uint8_t>& Bytes() const { return m_Bytes; }

  // Failure state: the first reason given is kept.
  bool Failed() const { return m_bFailed; }
  void Fail(const std::string& reason);
  const std::string& FailReason() const { return m_strFailReason; }

 private:
  // A read that cannot be done: the failure recorded.
  bool ReadBytesShort(void* dest, std::size_t size);

  std::string m_strPath;
  std::vector<std::uint8_t> m_Bytes;
  std::size_t m_nPos = 0;
  std::size_t m_nAllowance = 0;
  int m_nVersion = 0;
  bool m_bWriting = false;
  bool m_bFailed = false;
  std::string m_strFailReason;
};

using DataFilePtr = std::unique_ptr<cDataFile>;

// Opens a data file for reading, positioned after its header; null when it cannot be opened,
// is shorter than its header, or is of a newer data version (then g_bNewerDataFile is 1).
DataFilePtr DataFileOpenRead(const std::string& path);
// Opens a data file for writing, its header written. Nothing reaches the disk before
// DataFileClose.
DataFilePtr DataFileOpenWrite(const std::string& path);
// Closes a file. A file being written is stored through the safe replace (temporary file,
// flush, rename). Returns false when writing failed or the file was marked failed.
bool DataFileClose(DataFilePtr& file);
// A data file read from bytes in memory (the header included), as DataFileOpenRead would.
DataFilePtr DataFileFromBytes(const std::string& name, std::vector<std::uint8_t> bytes);

class cFileData {
 public:
  cFileData() = default;
  // Bindings are never copied: they are rebuilt for the record's own members before every
  // operation that uses them.
  cFileData(const cFileData&) {}
  cFileData& operator=(const cFileData&) { return *this; }
  virtual ~cFileData() = default;

  virtual void OnDataVersion(int /*version*/) {}
  virtual void SetupItems(int /*version*/) {}
  virtual void Read(cDataFile& file);
  virtual void Write(cDataFile& file);

  void ReadStrings(cDataFile& file);
  void WriteStrings(cDataFile& file);
  void Clear();
  void Copy(const cFileData& source);
  void CopyItems(const cFileData& source);
  void CopyStringItems(const cFileData& source);
  void StripCR();

  // A whole file holding this one record; 1 on success, 0 on failure. A file that fails
  // to load leaves the record as it was.
  int LoadFile(const std::string& path);
  int SaveFile(const std::string& path);
  // Gives back the bindings' memory; records held by the thousand call it after reading.
  void ReleaseItems();

  // The bindings of the last SetupItems (tests list them against the record's table).
  const cVector<sItemInfo>& Items() const { return m_Items; }
  const cVector<sStrItemInfo>& StrItems() const { return m_StrItems; }

 protected:
  void ClearItems();
  void AddInt(std::int32_t* member, int count = 1) { AddField(member, count, 4); }
  void AddInt(std::uint32_t* member, int count = 1) { AddField(member, count, 4); }
  void AddShort(std::int16_t* member, int count = 1) { AddField(member, count, 2); }
  void AddShort(std::uint16_t* member, int count = 1) { AddField(member, count, 2); }
  void AddByte(std::uint8_t* member, int count = 1) { AddField(member, count, 1); }
  void AddByte(std::int8_t* member, int count = 1) { AddField(member, count, 1); }
  void AddByte(char* member, int count = 1) { AddField(member, count, 1); }
  void AddDouble(double* member, int count = 1) { AddField(member, count, 8); }
  void AddString(std::string* member);

 private:
  void AddField(void* member, int count, int size) {
    if (m_Items.capacity() == 0) TakeSpareItems();
    m_Items.push_back(sItemInfo{this, member, count, static_cast<std::uint8_t>(size)});
  }
  // Gives an empty binding list room, from the lists records gave back when possible.
  void TakeSpareItems();
  void TakeSpareStrItems();
  // Reads the first n bound fields.
  void ReadFields(cDataFile& file, int n);

  cVector<sItemInfo> m_Items;
  cVector<sStrItemInfo> m_StrItems;
};

// Keeps the persistent state of a record so that a read that fails half-way can be undone.
class cRecordSnapshot {
 public:
  explicit cRecordSnapshot(cFileData& record);
  void Restore();

 private:
  cFileData& m_Record;
  std::vector<std::uint8_t> m_Bytes;
};

// Reads a record from a data file that the caller has opened; when the file turns out to be
// damaged the record is restored and the reason is written to the report log. 1 or 0.
int ReadRecordChecked(cFileData& record, cDataFile& file);

// The smallest number of bytes one record takes in a file (two empty counts).
inline constexpr std::size_t kMinRecordBytes = 8;

// Lists of records as a record's extension: a signed 32-bit count, then the records.
template <class T>
bool ReadRecordList(cDataFile& file, cVector<T>& list, const char* what) {
  std::int32_t count = 0;
  if (!file.ReadCount(count, kMinRecordBytes, what, sizeof(T))) return false;
  // The list grows as its records are read: a count the file cannot back with records never
  // reserves memory.
  cVector<T> loaded;
  for (std::int32_t i = 0; i < count; ++i) {
    loaded.emplace_back();
    loaded.back().Read(file);
    if (file.Failed()) return false;
    loaded.back().ReleaseItems();
  }
  list.swap(loaded);
  return true;
}

template <class T>
void WriteRecordList(cDataFile& file, cVector<T>& list) {
  file.WriteInt(static_cast<std::int32_t>(list.size()));
  for (auto& element : list) element.Write(file);
}

// Lists of plain values as a record's extension: a signed 32-bit count, then the values.
template <class T>
requires std::is_trivially_copyable_v<T>
bool ReadValueList(cDataFile& file, cVector<T>& list, const char* what) {
  std::int32_t count = 0;
  if (!file.ReadCount(count, sizeof(T), what)) return false;
  cVector<T> loaded;
  loaded.resize(static_cast<std::size_t>(count));
  if (count > 0 && !file.ReadBytes(loaded.data(), sizeof(T) * loaded.size())) return false;
  list.swap(loaded);
  return true;
}

template <class T>
requires std::is_trivially_copyable_v<T>
void WriteValueList(cDataFile& file, const cVector<T>& list) {
  file.WriteInt(static_cast<std::int32_t>(list.size()));
  if (!list.empty()) file.WriteBytes(list.data(), sizeof(T) * list.size());
}
