#include "port/Stream.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(MemoryStream, ReadsWritesAndSeeksLikeAFile)
{
    TMemoryStream s;
    EXPECT_EQ(5, s.Write("hello", 5));
    EXPECT_EQ(5, s.Size());
    EXPECT_EQ(2, s.Seek(2, soFromBeginning));
    char buf[8] = {};
    EXPECT_EQ(3, s.Read(buf, 8));
    EXPECT_STREQ("llo", buf);
    EXPECT_EQ(0, s.Read(buf, 1));
    EXPECT_EQ(-1, s.Seek(-1, soFromBeginning));
    EXPECT_EQ(4, s.Seek(-1, soFromEnd));
    // Writing past the end grows the stream, zero-filled.
    s.Seek(8, soFromBeginning);
    s.Write("!", 1);
    EXPECT_EQ(9, s.Size());
    EXPECT_EQ(0, s.Memory()[6]);
}

TEST(MemoryStream, ReadBufferRaisesOnAShortRead)
{
    TMemoryStream s("abc", 3);
    char buf[4];
    EXPECT_THROW(s.ReadBuffer(buf, 4), EStreamError);
    EXPECT_FALSE(s.SetSize(-1));
}

TEST(FileStream, OpensCreatesAndReportsFailure)
{
    pendar::test::TempDir dir;
    std::string error;
    EXPECT_EQ(nullptr, TFileStream::Open(dir.File("missing"), fmOpenRead, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(nullptr, TFileStream::Open(dir.Path(), fmOpenRead)); // a folder
    {
        auto f = TFileStream::Open(dir.File("a.bin"), fmCreate);
        ASSERT_TRUE(f);
        f->WriteBuffer("0123456789", 10);
        EXPECT_EQ(10, f->Size());
    }
    auto f = TFileStream::Open(dir.File("a.bin"), fmOpenRead);
    ASSERT_TRUE(f);
    TMemoryStream copy;
    EXPECT_EQ(10, copy.CopyFrom(*f, 0));
    EXPECT_EQ("0123456789", std::string(reinterpret_cast<const char*>(copy.Memory()), 10));
}

} // namespace
