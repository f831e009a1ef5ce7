// A bare record through the framework: fields of every width behind version gates, strings,
// and lists of values and of nested records.
#include "tests/fuzz/fuzz_target.h"

namespace {

class cInner : public cFileData {
 public:
  std::int32_t m_nValue = 0;
  std::string m_strText;
  void SetupItems(int version) override {
    ClearItems();
    AddInt(&m_nValue);
    if (version >= 300) AddString(&m_strText);
  }
};

class cOuter : public cFileData {
 public:
  std::int32_t m_nA = 0;
  std::int16_t m_sB[3] = {0, 0, 0};
  std::uint8_t m_byC = 0;
  double m_dD = 0;
  std::string m_strName;
  cVector<std::int32_t> m_Values;
  cVector<cInner> m_Inner;
  cOuter() {
    SetupItems(g_nDataVersion);
    Clear();
  }
  void SetupItems(int version) override {
    ClearItems();
    AddInt(&m_nA);
    if (version < 200) AddShort(&g_wDummy);
    AddShort(m_sB, 3);
    if (version >= 500) AddByte(&m_byC);
    AddDouble(&m_dD);
    AddString(&m_strName);
  }
  void Read(cDataFile& file) override {
    cFileData::Read(file);
    if (!ReadValueList(file, m_Values, "values")) return;
    ReadRecordList(file, m_Inner, "inner records");
  }
  void Write(cDataFile& file) override {
    cFileData::Write(file);
    WriteValueList(file, m_Values);
    WriteRecordList(file, m_Inner);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  DataFilePtr file = DataFileFromBytes("fuzz.dat", std::vector<std::uint8_t>(data, data + size));
  if (!file) return 0;
  cOuter record;
  if (ReadRecordChecked(record, *file)) {
    cDataFile out("out");
    record.Write(out);
  }
  return 0;
}
