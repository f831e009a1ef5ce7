#include "foundation/file_data.h"

#include <algorithm>

#include "foundation/report.h"
#include "foundation/strings.h"
#include "platform/host_file.h"

int g_nDataVersion = kDataVersion;
thread_local int g_nReadVersion = kDataVersion;
std::atomic<int> g_bNewerDataFile{0};
int g_bStripCR = 0;
std::int32_t g_nDummy = 0;
std::int16_t g_wDummy = 0;

namespace {
// No data file the editor writes comes near this (a filled map of the largest size holds a
// few tens of megabytes of placed blocks); a larger one is refused unread.
constexpr std::size_t kMaxDataFileBytes = std::size_t{256} << 20;
// The memory a file's lists may claim: this many times the file's size, and at least the
// floor. A record takes at most about seven times its stored size in memory (one holding
// only an empty name); a whole file, far less.
constexpr std::size_t kClaimPerFileByte = 16;
constexpr std::size_t kClaimFloor = std::size_t{4} << 20;
}  // namespace

// ---- cDataFile -------------------------------------------------------------------------

cDataFile::cDataFile(std::string path, std::vector<std::uint8_t> bytes, int version)
    : m_strPath(std::move(path)), m_Bytes(std::move(bytes)), m_nVersion(version) {
  m_nAllowance = std::max(kClaimFloor, m_Bytes.size() * kClaimPerFileByte);
}

cDataFile::cDataFile(std::string path) : m_strPath(std::move(path)), m_bWriting(true) {
  m_nVersion = g_nDataVersion;
}

void cDataFile::Fail(const std::string& reason) {
  if (m_bFailed) return;
  m_bFailed = true;
  m_strFailReason = reason;
}

bool cDataFile::ReadBytesShort(void* dest, std::size_t size) {
  if (m_bFailed || m_bWriting) return false;
  if (size > Remaining()) {
    Fail(FormatText("the file ends at byte %zu, inside data that needs %zu bytes", m_Bytes.size(),
                    size));
    return false;
  }
  return ReadBytes(dest, size);
}

const std::uint8_t* cDataFile::TakeBytes(std::size_t size) {
  if (m_bFailed || m_bWriting || size > Remaining()) {
    ReadBytesShort(nullptr, size);
    return nullptr;
  }
  const std::uint8_t* p = m_Bytes.data() + m_nPos;
  m_nPos += size;
  return p;
}

std::int32_t cDataFile::ReadInt() {
  std::int32_t value = 0;
  if (!ReadValue(value)) return 0;
  return value;
}

bool cDataFile::Claim(std::size_t bytes, const char* what) {
  if (m_bFailed) return false;
  if (bytes > m_nAllowance) {
    Fail(FormatText("%s at byte %zu: the file's lists need more memory than a file of %zu bytes "
                    "can describe", what, m_nPos, m_Bytes.size()));
    return false;
  }
  m_nAllowance -= bytes;
  return true;
}

bool cDataFile::ReadCount(std::int32_t& count, std::size_t minBytesEach, const char* what,
                          std::size_t memoryEach) {
  count = 0;
  std::int32_t n = 0;
  if (!ReadValue(n)) return false;
  if (n < 0) {
    Fail(FormatText("%s: negative count %d at byte %zu", what, n, m_nPos - 4));
    return false;
  }
  if (minBytesEach > 0 && static_cast<std::size_t>(n) > Remaining() / minBytesEach) {
    Fail(FormatText("%s: count %d at byte %zu is more than the %zu bytes left can hold", what, n,
                    m_nPos - 4, Remaining()));
    return false;
  }
  if (memoryEach > 0 && !Claim(static_cast<std::size_t>(n) * memoryEach, what)) return false;
  count = n;
  return true;
}

bool cDataFile::Skip(std::size_t size) {
  if (m_bFailed) return false;
  if (size > Remaining()) {
    Fail(FormatText("the file ends at byte %zu, inside data that needs %zu bytes", m_Bytes.size(),
                    size));
    return false;
  }
  m_nPos += size;
  return true;
}

void cDataFile::WriteBytes(const void* src, std::size_t size) {
  if (!m_bWriting || size == 0) return;
  const auto* p = static_cast<const std::uint8_t*>(src);
  m_Bytes.insert(m_Bytes.end(), p, p + size);
}

// ---- opening and closing ---------------------------------------------------------------

DataFilePtr DataFileFromBytes(const std::string& name, std::vector<std::uint8_t> bytes) {
  if (bytes.size() < 4) {
    Report("%s : the file is shorter than its 4-byte header", name.c_str());
    return nullptr;
  }
  std::uint32_t header = 0;
  std::memcpy(&header, bytes.data(), 4);
  if (header > static_cast<std::uint32_t>(g_nDataVersion)) {
    g_bNewerDataFile = 1;
    return nullptr;
  }
  g_bNewerDataFile = 0;
  g_nReadVersion = static_cast<int>(header);
  auto file = std::make_unique<cDataFile>(name, std::move(bytes), static_cast<int>(header));
  file->Skip(4);
  return file;
}

DataFilePtr DataFileOpenRead(const std::string& path) {
  std::string name = path.empty() ? std::string("err") : path;
  std::vector<std::uint8_t> bytes;
  platform::eReadResult result = platform::ReadHostFile(name, bytes, kMaxDataFileBytes);
  if (result == platform::eReadResult::TooLarge) {
    Report("%s : the file is larger than any data file can be", name.c_str());
    return nullptr;
  }
  if (result != platform::eReadResult::Ok) return nullptr;
  return DataFileFromBytes(name, std::move(bytes));
}

DataFilePtr DataFileOpenWrite(const std::string& path) {
  if (path.empty()) return nullptr;
  auto file = std::make_unique<cDataFile>(path);
  file->WriteValue(static_cast<std::uint32_t>(g_nDataVersion));
  return file;
}

bool DataFileClose(DataFilePtr& file) {
  if (!file) return true;
  bool ok = !file->Failed();
  if (file->IsWriting() && ok) {
    ok = platform::ReplaceHostFile(file->Path(), file->Bytes().data(), file->Bytes().size());
    if (!ok) Report("%s : the file could not be written", file->Path().c_str());
  }
  file.reset();
  return ok;
}

// ---- cFileData -------------------------------------------------------------------------

namespace {
constexpr std::size_t kTypicalFieldCount = 32;
// Binding lists given back by records read by the thousand, handed to the next record read on
// the same thread, so that a large file does not allocate two lists for each of its records.
constexpr std::size_t kSpareLists = 16;
thread_local std::vector<cVector<sItemInfo>> g_SpareItems;
thread_local std::vector<cVector<sStrItemInfo>> g_SpareStrItems;

template <class T>
void TakeSpare(cVector<T>& list, std::vector<cVector<T>>& spares, std::size_t reserve) {
  if (spares.empty()) {
    list.reserve(reserve);
    return;
  }
  list.swap(spares.back());
  spares.pop_back();
  list.clear();
}

template <class T>
void GiveSpare(cVector<T>& list, std::vector<cVector<T>>& spares) {
  if (list.capacity() > 0 && spares.size() < kSpareLists) {
    spares.emplace_back();
    spares.back().swap(list);
  } else {
    cVector<T>().swap(list);
  }
}
}  // namespace

void cFileData::ClearItems() {
  m_Items.clear();
  m_StrItems.clear();
}

void cFileData::ReleaseItems() {
  GiveSpare(m_Items, g_SpareItems);
  GiveSpare(m_StrItems, g_SpareStrItems);
}

void cFileData::TakeSpareItems() { TakeSpare(m_Items, g_SpareItems, kTypicalFieldCount); }
void cFileData::TakeSpareStrItems() { TakeSpare(m_StrItems, g_SpareStrItems, 4); }

void cFileData::AddString(std::string* member) {
  if (m_StrItems.capacity() == 0) TakeSpareStrItems();
  sStrItemInfo info;
  info.pOwner = this;
  info.pStr = member;
  m_StrItems.push_back(info);
}

void cFileData::Read(cDataFile& file) {
  SetupItems(file.Version());
  std::int32_t n = 0;
  if (!file.ReadValue(n)) return;
  if (n > static_cast<std::int32_t>(m_Items.size())) {
    // Fields carry no sizes, so a file that lists more of them than this version binds
    // cannot be followed any further.
    file.Fail(FormatText("a record lists %d fields where version %d has %d", n, file.Version(),
                         static_cast<int>(m_Items.size())));
    return;
  }
  ReadFields(file, n);
  if (file.Failed()) return;
  ReadStrings(file);
  if (file.Failed()) return;
  if (file.Version() != g_nDataVersion) SetupItems(g_nDataVersion);
}

void cFileData::ReadFields(cDataFile& file, int n) {
  const sItemInfo* items = m_Items.data();
  std::size_t total = 0;
  for (int i = 0; i < n; ++i)
    if (items[i].nCount > 0) total += static_cast<std::size_t>(items[i].nCount) * items[i].nSize;
  if (total <= file.Remaining() && !file.Failed()) {
    // All there: one bounds test for the whole record, and copies of the common sizes that
    // the compiler lays out as single moves.
    const std::uint8_t* p = file.TakeBytes(total);
    for (int i = 0; i < n; ++i) {
      const sItemInfo& item = items[i];
      if (item.nCount <= 0) continue;
      const std::size_t size = static_cast<std::size_t>(item.nCount) * item.nSize;
      switch (size) {
        case 1:
          std::memcpy(item.pField, p, 1);
          break;
        case 2:
          std::memcpy(item.pField, p, 2);
          break;
        case 4:
          std::memcpy(item.pField, p, 4);
          break;
        case 8:
          std::memcpy(item.pField, p, 8);
          break;
        default:
          std::memcpy(item.pField, p, size);
          break;
      }
      p += size;
    }
    return;
  }
  // The file ends inside the record: field by field, so that it fails where the data ends.
  for (int i = 0; i < n; ++i) {
    const sItemInfo& item = items[i];
    if (item.nCount <= 0) continue;
    if (!file.ReadBytes(item.pField, static_cast<std::size_t>(item.nCount) * item.nSize)) return;
  }
}

void cFileData::ReadStrings(cDataFile& file) {
  std::int32_t m = 0;
  if (!file.ReadValue(m)) return;
  if (m > static_cast<std::int32_t>(m_StrItems.size())) {
    file.Fail(FormatText("a record lists %d strings where version %d has %d", m, file.Version(),
                         static_cast<int>(m_StrItems.size())));
    return;
  }
  for (std::int32_t i = 0; i < m; ++i) {
    std::string& target = *m_StrItems[i].pStr;
    std::int32_t length = 0;
    if (!file.ReadValue(length)) return;
    if (length == 1) {
      target.clear();
      continue;
    }
    if (length < 1 || static_cast<std::size_t>(length) > file.Remaining()) {
      file.Fail(FormatText("a string of length %d at byte %zu does not fit the file", length,
                           file.Position() - 4));
      return;
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    file.ReadBytes(text.data(), text.size());
    text.resize(std::strlen(text.c_str()));
    target = std::move(text);
  }
  if (g_bStripCR) StripCR();
}

void cFileData::Write(cDataFile& file) {
  SetupItems(g_nDataVersion);
  file.WriteInt(static_cast<std::int32_t>(m_Items.size()));
  for (const sItemInfo& item : m_Items) {
    if (item.nCount > 0)
      file.WriteBytes(item.pField, static_cast<std::size_t>(item.nCount) * item.nSize);
  }
  WriteStrings(file);
}

void cFileData::WriteStrings(cDataFile& file) {
  file.WriteInt(static_cast<std::int32_t>(m_StrItems.size()));
  for (const sStrItemInfo& info : m_StrItems) {
    std::string& text = *info.pStr;
    StrLength(text);  // a string holding a NUL is cut there, in memory too
    file.WriteInt(static_cast<std::int32_t>(text.size() + 1));
    if (!text.empty()) file.WriteBytes(text.c_str(), text.size() + 1);
  }
}

void cFileData::Clear() {
  SetupItems(g_nDataVersion);
  for (const sItemInfo& item : m_Items) {
    if (item.nCount > 0)
      std::memset(item.pField, 0, static_cast<std::size_t>(item.nCount) * item.nSize);
  }
  for (const sStrItemInfo& info : m_StrItems) info.pStr->clear();
}

void cFileData::Copy(const cFileData& source) {
  if (&source == this) return;
  auto& src = const_cast<cFileData&>(source);
  SetupItems(g_nDataVersion);
  src.SetupItems(g_nDataVersion);
  const int fields =
      std::min(static_cast<int>(m_Items.size()), static_cast<int>(src.m_Items.size()));
  for (int i = 0; i < fields; ++i) {
    const sItemInfo& to = m_Items[i];
    const sItemInfo& from = src.m_Items[i];
    if (to.nCount > 0 && from.nCount >= to.nCount && from.nSize == to.nSize)
      std::memmove(to.pField, from.pField, static_cast<std::size_t>(to.nCount) * to.nSize);
  }
  const int strings =
      std::min(static_cast<int>(m_StrItems.size()), static_cast<int>(src.m_StrItems.size()));
  for (int i = 0; i < strings; ++i) *m_StrItems[i].pStr = *src.m_StrItems[i].pStr;
}

// Bindings always point at this record's own members, so taking another record's bindings
// comes down to binding this record for the current version.
void cFileData::CopyItems(const cFileData&) { SetupItems(g_nDataVersion); }
void cFileData::CopyStringItems(const cFileData&) { SetupItems(g_nDataVersion); }

void cFileData::StripCR() {
  for (const sStrItemInfo& info : m_StrItems) {
    std::string& text = *info.pStr;
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  }
}

int cFileData::LoadFile(const std::string& path) {
  DataFilePtr file = DataFileOpenRead(path);
  if (!file) return 0;
  int ok = ReadRecordChecked(*this, *file);
  DataFileClose(file);
  return ok;
}

int cFileData::SaveFile(const std::string& path) {
  DataFilePtr file = DataFileOpenWrite(path);
  if (!file) return 0;
  Write(*file);
  return DataFileClose(file) ? 1 : 0;
}

// ---- snapshots -------------------------------------------------------------------------

cRecordSnapshot::cRecordSnapshot(cFileData& record) : m_Record(record) {
  cDataFile image("snapshot");
  record.Write(image);
  m_Bytes = image.Bytes();
}

void cRecordSnapshot::Restore() {
  const int savedStrip = g_bStripCR;
  g_bStripCR = 0;
  cDataFile image("snapshot", m_Bytes, g_nDataVersion);
  m_Record.Read(image);
  g_bStripCR = savedStrip;
}

int ReadRecordChecked(cFileData& record, cDataFile& file) {
  cRecordSnapshot snapshot(record);
  record.Read(file);
  if (!file.Failed()) return 1;
  Report("%s : damaged data file (version %d): %s", file.Path().c_str(), file.Version(),
         file.FailReason().c_str());
  snapshot.Restore();
  return 0;
}
