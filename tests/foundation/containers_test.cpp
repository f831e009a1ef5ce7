#include "foundation/containers.h"

#include <gtest/gtest.h>

#include "platform/close_request.h"
#include "tests/support/temp_folder.h"
#include "foundation/report.h"

namespace {

struct sRecord {
  int a = 0;
  int b = 0;
};

class ContainersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ReportOpen("Report_Game.txt"));
    platform::ResetCloseRequest();
  }
  void TearDown() override { platform::ResetCloseRequest(); }
  std::vector<std::string> Lines() { return ReadLines("Report_Game.txt"); }
  cTempFolder folder;
};

TEST_F(ContainersTest, BadVectorIndexLogsClosesAndReturnsFirstElement) {
  struct Case {
    long long index;
    const char* line;
  } cases[] = {{-1, "err V[-1] ( 3 , 4 )"}, {3, "err V[3] ( 3 , 4 )"}, {1000, "err V[1000] ( 3 , 4 )"}};
  for (const Case& c : cases) {
    cVector<int> v{10, 20, 30};
    platform::ResetCloseRequest();
    int& got = v[c.index];
    EXPECT_EQ(&got, &v.front());
    got = 99;
    EXPECT_EQ(v.front(), 99);
    EXPECT_EQ(platform::CloseRequestCount(), 1);
    EXPECT_EQ(Lines().back(), c.line);
  }
}

TEST_F(ContainersTest, GoodIndexesOfAnyIntegerTypeTouchNothing) {
  cVector<int> v{10, 20, 30};
  EXPECT_EQ(v[2], 30);
  EXPECT_EQ(v[size_t{1}], 20);
  EXPECT_EQ(v[static_cast<unsigned char>(0)], 10);
  EXPECT_EQ(platform::CloseRequestCount(), 0);
  EXPECT_TRUE(Lines().empty());
}

TEST_F(ContainersTest, EmptyVectorHandsOutSharedDefaultElement) {
  cVector<sRecord> v;
  sRecord& first = v[0];
  first.a = 5;
  EXPECT_EQ(v[7].a, 5);
  EXPECT_EQ(platform::CloseRequestCount(), 2);
}

TEST_F(ContainersTest, ListPositionsAndDefaultElement) {
  int x = 1, y = 2;
  cList<int*> pointers{&x, &y};
  EXPECT_EQ(pointers[1], &y);
  EXPECT_EQ(pointers[2], nullptr);
  EXPECT_EQ(Lines().back(), "err L[2] ( 2 , 8 )");

  cList<sRecord> records;
  records[0].b = 42;  // writes into the shared default element
  cList<sRecord> other{sRecord{}};
  EXPECT_EQ(other[-1].b, 42);
  EXPECT_EQ(platform::CloseRequestCount(), 3);
}

TEST_F(ContainersTest, FillSetsEveryElementAndEmptyFillLogsNothing) {
  cVector<int> empty;
  empty.Fill(3);
  EXPECT_TRUE(Lines().empty());
  cVector<unsigned char> bytes(4);
  bytes.Fill(7);
  EXPECT_EQ(bytes, (std::vector<unsigned char>(4, 7)));
}

TEST(Containers, CountFindsEqualElements) {
  const cVector<int> positions{-1, 3, -1, 0, -1};
  EXPECT_EQ(positions.Count(-1), 3);
  EXPECT_EQ(positions.Count(0), 1);
  EXPECT_EQ(positions.Count(7), 0);
  EXPECT_EQ(cVector<int>().Count(0), 0);
}

}  // namespace

namespace {
enum eSlot { SLOT_A, SLOT_B };
enum class eScoped : unsigned char { First, Second };
}  // namespace

TEST(Containers, EnumerationsIndexLikeTheirValues) {
  cVector<int> v{5, 6};
  EXPECT_EQ(v[SLOT_B], 6);
  EXPECT_EQ(v[eScoped::First], 5);
}
