#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <unistd.h>
#include <stdlib.h>
#include <utility>
#include <vector>

#include "vn_byte_stream.h"

namespace {

const uint8_t Ten[10] = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19};

TEST(ByteStreamMemory, ReadCountsWholeItemsButCopiesTheTail)
{
    VnByteStream s(Ten, sizeof(Ten));
    uint8_t out[12];
    memset(out, 0xEE, sizeof(out));
    EXPECT_EQ(2, s.Read(out, 4, 3));
    EXPECT_EQ(0, memcmp(out, Ten, 10));
    EXPECT_EQ(0xEE, out[10]);
    EXPECT_EQ(10, s.Tell());
    EXPECT_EQ(0, s.Read(out, 1, 1));
    EXPECT_EQ(10, s.Tell());
    EXPECT_EQ(0, s.Read(nullptr, 1, 1));
    s.Seek(0, SEEK_SET);
    EXPECT_EQ(0, s.Read(out, 0, 5));
    EXPECT_EQ(0, s.Read(out, 5, 0));
    EXPECT_EQ(0, s.Tell());
}

TEST(ByteStreamMemory, SeekBoundsAndOrigins)
{
    VnByteStream s(Ten, sizeof(Ten));
    EXPECT_EQ(0, s.Seek(3, SEEK_SET));
    EXPECT_EQ(-1, s.Seek(-1, SEEK_SET));
    EXPECT_EQ(3, s.Tell());
    EXPECT_EQ(-1, s.Seek(-4, SEEK_CUR));
    EXPECT_EQ(0, s.Seek(2, SEEK_CUR));
    EXPECT_EQ(5, s.Tell());
    EXPECT_EQ(-1, s.Seek(0, 7));
    EXPECT_EQ(0, s.Seek(5, SEEK_END));
    EXPECT_EQ(15, s.Tell());
    uint8_t out[4];
    EXPECT_EQ(0, s.Read(out, 1, 1));
    EXPECT_EQ(15, s.Tell());
    EXPECT_EQ(1, s.Eof());
    // A position beyond what 32 bits can hold is refused.
    EXPECT_EQ(0, s.Seek(INT32_MAX, SEEK_SET));
    EXPECT_EQ(-1, s.Seek(1, SEEK_CUR));
    EXPECT_EQ(INT32_MAX, s.Tell());
}

TEST(ByteStreamMemory, GrowsInWholeStepsFromTheCurrentCapacity)
{
    VnByteStream a(VnByteStream::StreamKindMemory);
    ASSERT_NE(nullptr, a.Open(nullptr, nullptr));
    EXPECT_EQ(0u, a.capacity);
    EXPECT_EQ('x', a.PutC(0x178));
    EXPECT_EQ(4096u, a.capacity);
    EXPECT_EQ(1, a.length);
    EXPECT_EQ(0, a.Seek(0, SEEK_SET));
    EXPECT_EQ('x', a.GetC());

    VnByteStream b(VnByteStream::StreamKindMemory);
    b.Open(nullptr, nullptr);
    static uint8_t big[9000];
    for (size_t i = 0; i < sizeof(big); ++i)
        big[i] = static_cast<uint8_t>(i * 7);
    EXPECT_EQ(1, b.Write(big, 5000, 1));
    EXPECT_EQ(8192u, b.capacity);
    EXPECT_EQ(5000, b.length);
    EXPECT_EQ(5000, b.position);
    // 8192 + 4000 needs one more step counted from 8192.
    EXPECT_EQ(4000, b.Write(big, 1, 4000));
    EXPECT_EQ(12288u, b.capacity);
    EXPECT_EQ(9000, b.length);
    // A write inside the capacity does not grow it; the data reads back.
    EXPECT_EQ(0, b.Seek(0, SEEK_SET));
    EXPECT_EQ(1, b.Write(big, 3, 1));
    EXPECT_EQ(12288u, b.capacity);
    uint8_t back[9000];
    EXPECT_EQ(0, b.Seek(0, SEEK_SET));
    EXPECT_EQ(9000, b.Read(back, 1, 9000));
    EXPECT_EQ(0, memcmp(back, big, 5000));
    EXPECT_EQ(0, memcmp(back + 5000, big, 4000));
    EXPECT_EQ(0, b.Close());
    EXPECT_EQ(nullptr, b.handle);
}

TEST(ByteStreamMemory, WritesThatCannotGrowKeepTheBuffer)
{
    VnByteStream s(VnByteStream::StreamKindMemory);
    s.Open(nullptr, nullptr);
    ASSERT_EQ(2, s.Write("ab", 1, 2));
    void* before = s.handle;
    uint32_t capacity = s.capacity;
    // Past what a 32-bit position can reach: refused, buffer untouched.
    ASSERT_EQ(0, s.Seek(INT32_MAX - 1, SEEK_SET));
    EXPECT_EQ(0, s.Write("abcd", 1, 4));
    EXPECT_EQ(0, s.Seek(INT32_MAX, SEEK_SET));
    EXPECT_EQ(-1, s.PutC('z'));
    EXPECT_EQ(before, s.handle);
    EXPECT_EQ(capacity, s.capacity);
    EXPECT_EQ(2, s.length);
    // Item counts whose product passes 32 bits are refused too.
    EXPECT_EQ(0, s.Seek(0, SEEK_SET));
    EXPECT_EQ(0, s.Write("a", 0x10000, 0x10000));
    EXPECT_EQ(nullptr, s.Reserve(UINT32_MAX));
    EXPECT_EQ(before, s.handle);
}

TEST(ByteStreamMemory, BorrowedMemoryIsNeverWrittenOrFreed)
{
    uint8_t buffer[4] = {1, 2, 3, 4};
    {
        VnByteStream s(buffer, sizeof(buffer));
        EXPECT_EQ(0, s.Write("xy", 1, 2));
        EXPECT_EQ(-1, s.PutC('z'));
        EXPECT_EQ(nullptr, s.Reserve(100));
        EXPECT_EQ(4u, s.capacity);
        EXPECT_EQ(-1, s.Close());
        EXPECT_EQ(buffer, s.handle);
        EXPECT_EQ(1, s.GetC()); // still usable after Close
    }
    EXPECT_EQ(1, buffer[0]);
    EXPECT_EQ(4, buffer[3]);
}

TEST(ByteStreamMemory, GetCPeeksAndStopsAtTheEnd)
{
    VnByteStream s(Ten, sizeof(Ten));
    EXPECT_EQ(10, s.GetC());
    EXPECT_EQ(10, s.GetC());
    EXPECT_EQ(0, s.Tell());
    s.Seek(9, SEEK_SET);
    EXPECT_EQ(19, s.GetC());
    EXPECT_EQ(0, s.Eof());
    EXPECT_EQ(0, s.Error());
    s.Seek(10, SEEK_SET);
    EXPECT_EQ(-1, s.GetC());
    EXPECT_EQ(1, s.Eof());
    EXPECT_EQ(1, s.Error());
    s.Seek(40, SEEK_SET);
    EXPECT_EQ(-1, s.GetC());
    EXPECT_EQ(s.Eof(), s.Error());
    int64_t where = 0;
    EXPECT_EQ(0, s.GetPosition(&where));
    EXPECT_EQ(40, where);
    EXPECT_EQ(10, s.Size());
    EXPECT_EQ(0, s.Flush());
}

// An owned stream's buffer grows in steps, so its capacity runs ahead of its
// length: the end is where the data ends, never where the buffer does.
TEST(ByteStreamMemory, SizeAndSeekFromTheEndFollowTheLengthNotTheCapacity)
{
    VnByteStream s(VnByteStream::StreamKindMemory);
    ASSERT_NE(nullptr, s.Open(nullptr, nullptr));
    ASSERT_EQ(10, s.Write(Ten, 1, sizeof(Ten)));
    ASSERT_EQ(4096u, s.capacity);
    EXPECT_EQ(10, s.Size());
    EXPECT_EQ(0, s.Seek(0, SEEK_END));
    EXPECT_EQ(10, s.Tell());
    EXPECT_EQ(1, s.Eof());
    EXPECT_EQ(0, s.Seek(-4, SEEK_END));
    EXPECT_EQ(6, s.Tell());
    uint8_t out[8];
    memset(out, 0xEE, sizeof(out));
    EXPECT_EQ(4, s.Read(out, 1, sizeof(out)));
    EXPECT_EQ(0, memcmp(out, Ten + 6, 4));
    EXPECT_EQ(0xEE, out[4]);
    EXPECT_EQ(-1, s.Seek(-11, SEEK_END));

    // Overwriting inside keeps the length; writing at the end extends it.
    s.Seek(2, SEEK_SET);
    s.Write(Ten, 1, 3);
    EXPECT_EQ(10, s.Size());
    s.Seek(0, SEEK_END);
    s.PutC(0x55);
    EXPECT_EQ(11, s.Size());
    EXPECT_EQ(4096u, s.capacity);
    EXPECT_EQ(0, s.Seek(-1, SEEK_END));
    EXPECT_EQ(0x55, s.GetC());
}

// Writing after a seek past the end leaves a gap that reads as zeros, as
// with a file, never as whatever the grown buffer held.
TEST(ByteStreamMemory, GapLeftByASeekPastTheEndReadsAsZeros)
{
    VnByteStream s(VnByteStream::StreamKindMemory);
    ASSERT_NE(nullptr, s.Open(nullptr, nullptr));
    ASSERT_EQ(10, s.Write(Ten, 1, sizeof(Ten)));
    ASSERT_EQ(0, s.Seek(5000, SEEK_SET));
    ASSERT_EQ(1, s.Write(Ten, 1, 1));
    EXPECT_EQ(5001, s.Size());
    ASSERT_EQ(0, s.Seek(7000, SEEK_SET));
    ASSERT_EQ(0x33, s.PutC(0x33));
    EXPECT_EQ(7001, s.Size());
    s.Seek(0, SEEK_SET);
    std::vector<uint8_t> all(7001);
    ASSERT_EQ(7001, s.Read(all.data(), 1, 7001));
    EXPECT_EQ(0, memcmp(all.data(), Ten, 10));
    for (size_t i = 10; i < 5000; ++i)
        ASSERT_EQ(0, all[i]) << i;
    EXPECT_EQ(10, all[5000]);
    for (size_t i = 5001; i < 7000; ++i)
        ASSERT_EQ(0, all[i]) << i;
    EXPECT_EQ(0x33, all[7000]);
}

TEST(ByteStreamMemory, TransferCarriesOwnership)
{
    VnByteStream source(VnByteStream::StreamKindMemory);
    source.Open(nullptr, nullptr);
    source.Write("hello", 1, 5);
    VnByteStream target(std::move(source));
    EXPECT_EQ(nullptr, source.handle);
    EXPECT_EQ(0, source.Close());
    EXPECT_EQ(5, target.length);
    EXPECT_EQ(0, target.Seek(0, SEEK_SET));
    EXPECT_EQ('h', target.GetC());
    // target frees the buffer when destroyed (the leak checker would see it).
}

TEST(ByteStreamEmpty, WithoutHandleEveryOperationFails)
{
    VnByteStream s(VnByteStream::StreamKindMemory);
    uint8_t b[4];
    int64_t where = 0;
    EXPECT_EQ(0, s.Seek(4, SEEK_SET));
    EXPECT_EQ(0, s.position);
    EXPECT_EQ(0, s.Read(b, 1, 4));
    EXPECT_EQ(0, s.Write(b, 1, 4));
    EXPECT_EQ(-1, s.Tell());
    EXPECT_EQ(-1, s.GetPosition(&where));
    EXPECT_EQ(-1, s.Size());
    EXPECT_EQ(-1, s.Flush());
    EXPECT_EQ(-1, s.Eof());
    EXPECT_EQ(-1, s.Error());
    EXPECT_EQ(-1, s.PutC('a'));
    EXPECT_EQ(-1, s.GetC());
    EXPECT_EQ(0, s.Close());
}

TEST(ByteStreamEmpty, AnUnknownKindFailsEverything)
{
    VnByteStream s(5);
    uint8_t b[4];
    int64_t where = 0;
    EXPECT_EQ(nullptr, s.Open("x", "rb"));
    EXPECT_EQ(-1, s.Seek(0, SEEK_SET));
    EXPECT_EQ(0, s.Read(b, 1, 4));
    EXPECT_EQ(0, s.Write(b, 1, 4));
    EXPECT_EQ(-1, s.Tell());
    EXPECT_EQ(-1, s.GetPosition(&where));
    EXPECT_EQ(-1, s.Size());
    EXPECT_EQ(-1, s.Eof());
    EXPECT_EQ(-1, s.PutC('a'));
    EXPECT_EQ(-1, s.GetC());
    EXPECT_EQ(0, s.Close()); // no handle: nothing to close
}

TEST(ByteStreamDisk, BorrowedFileStaysOpenAndSizeKeepsThePosition)
{
    FILE* file = tmpfile();
    ASSERT_NE(nullptr, file);
    {
        VnByteStream s(file);
        EXPECT_EQ(3, s.Write("abcdefghi", 3, 3));
        EXPECT_EQ(0, s.Seek(4, SEEK_SET));
        EXPECT_EQ(9, s.Size());
        EXPECT_EQ(4, s.Tell());
        int64_t where = 0;
        EXPECT_EQ(0, s.GetPosition(&where));
        EXPECT_EQ(4, where);
        EXPECT_EQ('e', s.GetC());
        EXPECT_EQ(-1, s.Close());
        char two[2];
        EXPECT_EQ(1, s.Read(two, 2, 1));
        EXPECT_EQ('f', two[0]);
    }
    // The stream is gone; the file is still open and where it was left.
    EXPECT_EQ(7L, ftell(file));
    EXPECT_EQ('h', fgetc(file));
    fclose(file);
}

TEST(ByteStreamDisk, OwnedFileIsClosedByClose)
{
    char path[] = "/tmp/vn_stream_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    VnByteStream s(VnByteStream::StreamKindDisk);
    void* handle = s.Open(path, "wb");
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(handle, s.Open(path, "rb")); // already open: nothing changes
    EXPECT_EQ('q', s.PutC('q'));
    EXPECT_EQ(0, s.Flush());
    EXPECT_EQ(0, s.Close());
    EXPECT_EQ(nullptr, s.handle);
    EXPECT_EQ(0, s.Close());
    VnByteStream missing(VnByteStream::StreamKindDisk);
    EXPECT_EQ(nullptr, missing.Open("/nonexistent/dir/file", "rb"));
    remove(path);
}

}  // namespace
