#include "foundation/file_data.h"

#include <gtest/gtest.h>

#include <fstream>

#include "foundation/report.h"
#include "foundation/strings.h"
#include "tests/support/scoped_value.h"
#include "tests/support/temp_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A record with a member added at version 100, two shorts that became bytes at 110,
// a double, an array, two strings, and a list appended by its own Read and Write.
class cSample : public cFileData {
 public:
  std::int32_t m_nFirst = 0;
  std::int32_t m_nSince100 = 0;
  std::uint8_t m_byPair[2] = {0, 0};
  double m_dValue = 0;
  std::int32_t m_nArray[3] = {0, 0, 0};
  std::string m_strName;
  std::string m_strNote;
  cVector<std::int32_t> m_List;

  cSample() {
    SetupItems(g_nDataVersion);
    Clear();
  }
  void SetupItems(int version) override {
    ClearItems();
    AddInt(&m_nFirst);
    if (version >= 100) AddInt(&m_nSince100);
    if (version < 110) {
      AddShort(&g_wDummy);
      AddShort(&g_wDummy);
    } else {
      AddByte(&m_byPair[0]);
      AddByte(&m_byPair[1]);
    }
    AddDouble(&m_dValue);
    AddInt(m_nArray, 3);
    AddString(&m_strName);
    AddString(&m_strNote);
  }
  void Read(cDataFile& file) override {
    cFileData::Read(file);
    ReadValueList(file, m_List, "sample list");
  }
  void Write(cDataFile& file) override {
    cFileData::Write(file);
    WriteValueList(file, m_List);
  }
};

class cIntAndString : public cFileData {
 public:
  std::int32_t m_nValue = 0;
  std::string m_strText;
  void SetupItems(int) override {
    ClearItems();
    AddInt(&m_nValue);
    AddString(&m_strText);
  }
};

Bytes Header(std::uint32_t version) { return cBytes().I32(static_cast<std::int32_t>(version)).data; }

class FileDataTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(ReportOpen("Report_Game.txt")); }
  cTempFolder folder;
  cScopedGlobal<int> m_KeepStripCR{g_bStripCR, 0};
  cScopedGlobal<std::atomic<int>> m_KeepNewer{g_bNewerDataFile};
};

TEST_F(FileDataTest, WritesTheExactLayout) {
  cIntAndString rec;
  rec.m_nValue = 5;
  rec.m_strText = "abc";
  ASSERT_EQ(rec.SaveFile("rec.dat"), 1);
  Bytes expected = {0x35, 0x03, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 'a', 'b', 'c', 0};
  EXPECT_EQ(ReadBytes("rec.dat"), expected);

  rec.m_strText.clear();
  ASSERT_EQ(rec.SaveFile("rec.dat"), 1);
  expected = {0x35, 0x03, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
  EXPECT_EQ(ReadBytes("rec.dat"), expected);
}

TEST_F(FileDataTest, RoundTripIsByteIdentical) {
  cSample rec;
  rec.m_nFirst = -7;
  rec.m_nSince100 = 100;
  rec.m_byPair[0] = 0xFE;
  rec.m_byPair[1] = 1;
  rec.m_dValue = 2.5;
  rec.m_nArray[2] = 9;
  rec.m_strName = "\x83\x5C name";  // a double-byte character with a 0x5C trail byte
  rec.m_List = {1, 2, 3};
  ASSERT_EQ(rec.SaveFile("a.dat"), 1);
  cSample back;
  ASSERT_EQ(back.LoadFile("a.dat"), 1);
  EXPECT_EQ(back.m_nArray[2], 9);
  EXPECT_EQ(back.m_strName, rec.m_strName);
  EXPECT_EQ(back.m_strNote, "");
  EXPECT_EQ(back.m_List, rec.m_List);
  ASSERT_EQ(back.SaveFile("b.dat"), 1);
  EXPECT_EQ(ReadBytes("a.dat"), ReadBytes("b.dat"));
}

TEST_F(FileDataTest, OldVersionReadsItsOwnLayoutAndWritesTheCurrentOne) {
  // Version 100: first, since100, two shorts (dropped), double, array, strings, list.
  Bytes file = cBytes()
                   .Raw(Header(100))
                   .I32(6).I32(11).I32(12).I16(300).I16(-2).F64(1.5).I32(1).I32(2).I32(3)
                   .I32(2).Str("old").Str("")
                   .I32(1).I32(77)
                   .data;
  WriteBytes("old.dat", file);
  cSample rec;
  rec.m_byPair[0] = 4;  // a member the old file lacks keeps its value: loading does not clear
  ASSERT_EQ(rec.LoadFile("old.dat"), 1);
  EXPECT_EQ(rec.m_nFirst, 11);
  EXPECT_EQ(rec.m_nSince100, 12);
  EXPECT_EQ(rec.m_byPair[0], 4);
  EXPECT_EQ(rec.m_dValue, 1.5);
  EXPECT_EQ(rec.m_strName, "old");
  EXPECT_EQ(rec.m_List, (cVector<std::int32_t>{77}));
  // After the read the record is bound as a current record again.
  EXPECT_EQ(rec.Items().size(), 6u);

  ASSERT_EQ(rec.SaveFile("new.dat"), 1);
  Bytes expected = cBytes()
                       .Raw(Header(821))
                       .I32(6).I32(11).I32(12).U8(4).U8(0).F64(1.5).I32(1).I32(2).I32(3)
                       .I32(2).Str("old").Str("")
                       .I32(1).I32(77)
                       .data;
  EXPECT_EQ(ReadBytes("new.dat"), expected);
}

TEST_F(FileDataTest, NewerVersionIsRefused) {
  for (std::uint32_t header : {822u, 0xFFFFFFFFu}) {
    WriteBytes("new.dat", cBytes().Raw(Header(header)).I32(0).I32(0).data);
    cIntAndString rec;
    rec.m_nValue = 3;
    g_bNewerDataFile = 0;
    EXPECT_EQ(rec.LoadFile("new.dat"), 0);
    EXPECT_EQ(g_bNewerDataFile.load(), 1);
    EXPECT_EQ(rec.m_nValue, 3);
  }
  // Version 0 is old, not newer.
  WriteBytes("zero.dat", cBytes().Raw(Header(0)).I32(0).I32(0).data);
  cIntAndString rec;
  EXPECT_EQ(rec.LoadFile("zero.dat"), 1);
  EXPECT_EQ(g_bNewerDataFile.load(), 0);
  // A missing file leaves the flag as it was.
  g_bNewerDataFile = 1;
  EXPECT_EQ(rec.LoadFile("missing.dat"), 0);
  EXPECT_EQ(g_bNewerDataFile.load(), 1);
}

TEST_F(FileDataTest, DamagedFilesFailAndChangeNothing) {
  const Bytes good = cBytes().Raw(Header(821)).I32(1).I32(5).I32(1).Str("abc").data;
  struct Case {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"shorter than the header", {0x35, 0x03, 0}},
      {"empty body", Header(821)},
      {"truncated inside a field", cBytes().Raw(Header(821)).I32(1).I16(5).data},
      {"more fields than bound", cBytes().Raw(Header(821)).I32(2).I32(5).I32(6).I32(0).data},
      {"more strings than bound", cBytes().Raw(Header(821)).I32(1).I32(5).I32(2).Str("a").Str("b").data},
      {"string longer than the file", cBytes().Raw(Header(821)).I32(1).I32(5).I32(1).I32(1000).U8('a').data},
      {"string length 0", cBytes().Raw(Header(821)).I32(1).I32(5).I32(1).I32(0).data},
      {"negative string length", cBytes().Raw(Header(821)).I32(1).I32(5).I32(1).I32(-4).data},
  };
  for (const Case& c : cases) {
    WriteBytes("bad.dat", c.bytes);
    cIntAndString rec;
    rec.m_nValue = 42;
    rec.m_strText = "kept";
    EXPECT_EQ(rec.LoadFile("bad.dat"), 0) << c.what;
    EXPECT_EQ(rec.m_nValue, 42) << c.what;
    EXPECT_EQ(rec.m_strText, "kept") << c.what;
  }
  WriteBytes("good.dat", good);
  cIntAndString rec;
  EXPECT_EQ(rec.LoadFile("good.dat"), 1);
  EXPECT_EQ(rec.m_strText, "abc");
}

TEST_F(FileDataTest, DamagedListFailsWithoutHugeAllocation) {
  const Bytes base = cBytes()
                         .Raw(Header(821))
                         .I32(6).I32(1).I32(2).U8(3).U8(4).F64(0).I32(0).I32(0).I32(0)
                         .I32(2).Str("n").Str("")
                         .data;
  for (std::int32_t count : {0x7FFFFFFF, -1, 3}) {
    WriteBytes("list.dat", cBytes().Raw(base).I32(count).I32(1).data);
    cSample rec;
    rec.m_List = {5};
    rec.m_strName = "before";
    EXPECT_EQ(rec.LoadFile("list.dat"), 0) << count;
    EXPECT_EQ(rec.m_List, (cVector<std::int32_t>{5}));
    EXPECT_EQ(rec.m_strName, "before");
    EXPECT_EQ(rec.m_nFirst, 0);
  }
  auto lines = ReadLines("Report_Game.txt");
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find("list.dat"), std::string::npos);
}

// A record list holding its count in the first bytes: a count the records do not back fails
// and leaves the list, one they back loads with each element's bindings given back.
TEST_F(FileDataTest, RecordListsGrowOnlyAsTheirRecordsAreRead) {
  const Bytes minimal = cBytes().I32(0).I32(0).data;
  const Bytes filled = cBytes().I32(1).I32(7).I32(1).Str("x").data;
  const struct {
    const char* what;
    std::int32_t count;
    int records;
    bool ok;
  } cases[] = {
      {"backed", 3, 3, true},
      {"one short", 3, 2, false},
      {"a million claimed, one given", 1000000, 1, false},
  };
  for (const auto& c : cases) {
    cBytes bytes;
    bytes.Raw(Header(821)).I32(c.count);
    for (int i = 0; i < c.records; ++i) bytes.Raw(i == 0 ? filled : minimal);
    DataFilePtr file = DataFileFromBytes("list.dat", bytes.data);
    ASSERT_TRUE(file);
    cVector<cIntAndString> list(1);
    list[0].m_nValue = 9;
    EXPECT_EQ(ReadRecordList(*file, list, "list"), c.ok) << c.what;
    if (!c.ok) {
      ASSERT_EQ(list.size(), 1u) << c.what;
      EXPECT_EQ(list[0].m_nValue, 9) << c.what;
      continue;
    }
    ASSERT_EQ(list.size(), static_cast<std::size_t>(c.count));
    EXPECT_EQ(list[0].m_nValue, 7);
    EXPECT_EQ(list[0].m_strText, "x");
    for (const auto& element : list) EXPECT_TRUE(element.Items().empty());
  }
}

// A record far larger in memory than the eight bytes it can take in a file.
class cLargeRecord : public cFileData {
 public:
  std::uint8_t m_Pad[1024] = {};
};

// A file made of the smallest records cannot claim more memory than a multiple of its size:
// lists of the same file fail together once their elements pass the allowance.
TEST_F(FileDataTest, MinimalRecordsCannotClaimMoreMemoryThanTheFileAllows) {
  const auto listFile = [](int lists, std::int32_t count) {
    cBytes bytes;
    bytes.Raw(Header(821));
    for (int l = 0; l < lists; ++l) {
      bytes.I32(count);
      for (std::int32_t i = 0; i < count; ++i) bytes.I32(0).I32(0);
    }
    return DataFileFromBytes("claim.dat", bytes.data);
  };
  cVector<cLargeRecord> list;
  DataFilePtr small = listFile(2, 1024);  // 2 MiB of records from 16 KiB
  ASSERT_TRUE(small);
  EXPECT_TRUE(ReadRecordList(*small, list, "first") && ReadRecordList(*small, list, "second"));
  DataFilePtr large = listFile(2, 3000);  // 6 MiB from 48 KiB
  ASSERT_TRUE(large);
  EXPECT_TRUE(ReadRecordList(*large, list, "first"));
  EXPECT_FALSE(ReadRecordList(*large, list, "second"));
  EXPECT_NE(large->FailReason().find("more memory"), std::string::npos) << large->FailReason();
  EXPECT_EQ(list.size(), 3000u);
}

// A record is read in the layout of its own file's header, whatever file was opened last.
TEST_F(FileDataTest, RecordsReadInTheVersionOfTheirOwnFile) {
  // Version 105: six bindings (first, since100, two shorts, the double, the array), two
  // strings, the list.
  const Bytes body = cBytes().I32(6).I32(7).I32(3).I16(1).I16(2).F64(0.5).I32(5).I32(6).I32(7)
                         .I32(2).Str("a").Str("").I32(0).data;
  DataFilePtr old = DataFileFromBytes("old.dat", cBytes().Raw(Header(105)).Raw(body).data);
  DataFilePtr current = DataFileFromBytes("new.dat", Header(821));
  ASSERT_TRUE(old && current);
  EXPECT_EQ(old->Version(), 105);
  cSample rec;
  rec.Read(*old);
  EXPECT_FALSE(old->Failed()) << old->FailReason();
  EXPECT_EQ(old->Remaining(), 0u);
  EXPECT_EQ(rec.m_nSince100, 3);
  EXPECT_EQ(rec.m_dValue, 0.5);
  EXPECT_EQ(rec.m_nArray[2], 7);
  EXPECT_EQ(rec.m_byPair[0], 0);
}

TEST_F(FileDataTest, FilesAboveTheSizeLimitAreRefusedUnread) {
  // Real stages of the largest map sizes run past 16 MiB; no editor-made file reaches 256 MiB.
  Bytes bytes = Header(821);
  bytes.resize((std::size_t{16} << 20) + 1, 0);
  WriteBytes("large.dat", bytes);
  EXPECT_NE(DataFileOpenRead("large.dat"), nullptr);
  {
    std::ofstream sparse("big.dat", std::ios::binary);
    sparse.seekp(static_cast<std::streamoff>(std::size_t{256} << 20));
    sparse.put(0);
  }
  EXPECT_EQ(DataFileOpenRead("big.dat"), nullptr);
  auto lines = ReadLines("Report_Game.txt");
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines.back().find("larger than any data file"), std::string::npos);
}

TEST_F(FileDataTest, FewerFieldsThanBoundLeavesTheRest) {
  WriteBytes("few.dat", cBytes().Raw(Header(821)).I32(0).I32(0).data);
  cIntAndString rec;
  rec.m_nValue = 8;
  rec.m_strText = "x";
  EXPECT_EQ(rec.LoadFile("few.dat"), 1);
  EXPECT_EQ(rec.m_nValue, 8);
  EXPECT_EQ(rec.m_strText, "x");
}

TEST_F(FileDataTest, CarriageReturnsAndEmbeddedNul) {
  WriteBytes("cr.dat", cBytes().Raw(Header(821)).I32(1).I32(0).I32(1).Str("a\r\nb").data);
  cIntAndString rec;
  ASSERT_EQ(rec.LoadFile("cr.dat"), 1);
  EXPECT_EQ(rec.m_strText, "a\r\nb");
  g_bStripCR = 1;
  ASSERT_EQ(rec.LoadFile("cr.dat"), 1);
  EXPECT_EQ(rec.m_strText, "a\nb");

  rec.m_strText = std::string("ab\0cd", 5);
  ASSERT_EQ(rec.SaveFile("nul.dat"), 1);
  EXPECT_EQ(rec.m_strText, "ab");
  EXPECT_EQ(ReadBytes("nul.dat").size(), 4u + 4 + 4 + 4 + 4 + 3);
}

TEST_F(FileDataTest, ClearCopyAndDuplicatesKeepTheirOwnBindings) {
  cVector<cSample> records(2);
  records[0].m_nFirst = 1;
  records[0].m_strName = "one";
  records[1].m_nArray[1] = 5;
  cVector<cSample> copies = records;
  records.clear();
  ASSERT_EQ(copies[0].SaveFile("c.dat"), 1);
  cSample back;
  ASSERT_EQ(back.LoadFile("c.dat"), 1);
  EXPECT_EQ(back.m_strName, "one");

  cSample target;
  target.Copy(copies[1]);
  EXPECT_EQ(target.m_nArray[1], 5);
  for (const sItemInfo& item : target.Items()) EXPECT_EQ(item.pOwner, &target);

  target.m_List = {1};
  target.Clear();
  EXPECT_EQ(target.m_nArray[1], 0);
  EXPECT_EQ(target.m_List.size(), 1u);  // not bound, untouched
}

// A file cut anywhere inside a record's fields fails at the field where the data ends, and
// a whole record reads every field: the record's fields are taken in one piece when they are
// all there and one by one otherwise.
TEST_F(FileDataTest, CutInsideTheFieldsFailsAtThatField) {
  cSample source;
  source.m_nFirst = 7;
  source.m_nSince100 = 8;
  source.m_byPair[0] = 9;
  source.m_byPair[1] = 10;
  source.m_dValue = 1.5;
  source.m_nArray[2] = 11;
  ASSERT_EQ(source.SaveFile("whole.dat"), 1);
  const Bytes whole = ReadBytes("whole.dat");
  // Field ends after the header and the field count, and the bytes each field needs.
  struct Field {
    int end, size;
  };
  const Field fields[] = {{4, 4}, {8, 4}, {9, 1}, {10, 1}, {18, 8}, {30, 12}};
  for (int cut = 0; cut <= 30; ++cut) {
    SCOPED_TRACE(cut);
    DataFilePtr file = DataFileFromBytes("cut.dat", Bytes(whole.begin(), whole.begin() + 8 + cut));
    ASSERT_TRUE(file);
    cSample rec;
    rec.cFileData::Read(*file);
    ASSERT_TRUE(file->Failed());
    int need = 0;
    for (const Field& f : fields)
      if (!need && cut < f.end) need = f.size;
    if (need) {
      EXPECT_NE(file->FailReason().find(FormatText("needs %d bytes", need)), std::string::npos)
          << file->FailReason();
    }
    EXPECT_EQ(rec.m_nFirst, cut >= 4 ? 7 : 0);
    EXPECT_EQ(rec.m_byPair[1], cut >= 10 ? 10 : 0);
  }
  DataFilePtr file = DataFileFromBytes("whole.dat", whole);
  cSample rec;
  rec.Read(*file);
  EXPECT_FALSE(file->Failed());
  EXPECT_EQ(rec.m_nSince100, 8);
  EXPECT_EQ(rec.m_dValue, 1.5);
  EXPECT_EQ(rec.m_nArray[2], 11);
}

// Records that give their bindings back after reading (as records held by the thousand do)
// hand them on to the next record read; each record still receives its own values.
class cReleasing : public cIntAndString {
 public:
  void Read(cDataFile& file) override {
    cIntAndString::Read(file);
    ReleaseItems();
  }
};

TEST_F(FileDataTest, GivenBackBindingsServeTheNextRecord) {
  cBytes bytes;
  bytes.Raw(Header(821)).I32(40);
  for (int i = 0; i < 40; ++i) bytes.I32(1).I32(i * 3).I32(1).Str(std::to_string(i).c_str());
  DataFilePtr file = DataFileFromBytes("list.dat", bytes.data);
  cVector<cReleasing> list;
  ASSERT_TRUE(ReadRecordList(*file, list, "records"));
  ASSERT_EQ(list.size(), 40u);
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(list[i].m_nValue, i * 3);
    EXPECT_EQ(list[i].m_strText, std::to_string(i));
    EXPECT_TRUE(list[i].Items().empty());
  }
}

TEST_F(FileDataTest, SaveIntoMissingFolderFails) {
  cIntAndString rec;
  EXPECT_EQ(rec.SaveFile("no_such_folder\\rec.dat"), 0);
}

}  // namespace
