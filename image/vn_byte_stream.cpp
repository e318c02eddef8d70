#include "vn_byte_stream.h"

#include <stdlib.h>
#include <string.h>

VnByteStream::VnByteStream(int32_t streamKind)
    : handle(nullptr), kind(streamKind), position(0), length(0), capacity(0), borrowed(0)
{
}

VnByteStream::VnByteStream(FILE* file)
    : handle(file), kind(StreamKindDisk), position(0), length(0), capacity(0), borrowed(1)
{
}

VnByteStream::VnByteStream(const uint8_t* buffer, uint32_t size)
    : handle(const_cast<uint8_t*>(buffer)), kind(StreamKindMemory), position(0),
      length(static_cast<int32_t>(size > INT32_MAX ? INT32_MAX : size)),
      capacity(size > INT32_MAX ? INT32_MAX : size), borrowed(1)
{
}

VnByteStream::VnByteStream(VnByteStream&& other)
    : handle(other.handle), kind(other.kind), position(other.position), length(other.length),
      capacity(other.capacity), borrowed(other.borrowed)
{
    other.handle = nullptr;
}

VnByteStream::~VnByteStream()
{
    Close();
}

void* VnByteStream::Open(const char* path, const char* mode)
{
    if (handle)
        return handle;
    if (kind == StreamKindDisk) {
        if (!path || !mode)
            return nullptr;
        handle = fopen(path, mode);
        return handle;
    }
    if (kind == StreamKindMemory) {
        position = 0;
        length = 0;
        capacity = 0;
        // An empty but real allocation: malloc(0) may give null, which would
        // read as "no handle".
        handle = malloc(1);
        return handle;
    }
    return nullptr;
}

int32_t VnByteStream::Close()
{
    if (borrowed)
        return -1;
    if (!handle)
        return 0;
    if (kind == StreamKindDisk) {
        int32_t result = fclose(File());
        handle = nullptr;
        return result;
    }
    if (kind == StreamKindMemory) {
        free(handle);
        handle = nullptr;
        return 0;
    }
    return -1;
}

int32_t VnByteStream::Read(void* buffer, uint32_t itemSize, uint32_t itemCount)
{
    if (!ValidKind() || !handle)
        return 0;
    if (!buffer)
        return 0;
    if (kind == StreamKindDisk)
        return static_cast<int32_t>(fread(buffer, itemSize, itemCount, File()));
    if (position > length)
        return 0;
    uint64_t n = static_cast<uint64_t>(itemSize) * itemCount;
    if (n == 0)
        return 0;
    uint64_t left = static_cast<uint64_t>(length - position);
    if (n > left)
        n = left;
    memcpy(buffer, Bytes() + position, static_cast<size_t>(n));
    position += static_cast<int32_t>(n);
    return static_cast<int32_t>(n / itemSize);
}

bool VnByteStream::MakeRoom(uint64_t extra)
{
    if (borrowed)
        return false;
    uint64_t needed = static_cast<uint64_t>(position) + extra;
    if (needed > INT32_MAX)
        return false;
    if (needed > capacity && !Reserve(static_cast<uint32_t>(needed)))
        return false;
    if (capacity < needed)
        return false;
    // A write after a seek past the end leaves a gap; like a file's, it
    // reads as zeros rather than as whatever the buffer held.
    if (position > length)
        memset(Bytes() + length, 0, static_cast<size_t>(position - length));
    return true;
}

int32_t VnByteStream::Write(const void* buffer, uint32_t itemSize, uint32_t itemCount)
{
    if (!ValidKind() || !handle)
        return 0;
    if (!buffer)
        return 0;
    if (kind == StreamKindDisk)
        return static_cast<int32_t>(fwrite(buffer, itemSize, itemCount, File()));
    uint64_t n = static_cast<uint64_t>(itemSize) * itemCount;
    if (n == 0 || !MakeRoom(n))
        return 0;
    memcpy(Bytes() + position, buffer, static_cast<size_t>(n));
    position += static_cast<int32_t>(n);
    if (position > length)
        length = position;
    // n fits in 31 bits, so itemCount does too.
    return static_cast<int32_t>(itemCount);
}

int32_t VnByteStream::Seek(int32_t offset, int32_t origin)
{
    if (!ValidKind())
        return -1;
    if (!handle)
        return 0;
    if (kind == StreamKindDisk)
        return fseek(File(), offset, origin);
    int64_t target;
    switch (origin) {
    case SEEK_SET: target = offset; break;
    case SEEK_CUR: target = static_cast<int64_t>(position) + offset; break;
    case SEEK_END: target = static_cast<int64_t>(length) + offset; break;
    default: return -1;
    }
    if (target < 0 || target > INT32_MAX)
        return -1;
    position = static_cast<int32_t>(target);
    return 0;
}

int32_t VnByteStream::Tell()
{
    if (!ValidKind() || !handle)
        return -1;
    if (kind == StreamKindDisk)
        return static_cast<int32_t>(ftell(File()));
    return position;
}

int32_t VnByteStream::GetPosition(int64_t* out)
{
    if (!ValidKind() || !handle || !out)
        return -1;
    if (kind == StreamKindDisk)
        *out = static_cast<int64_t>(ftell(File()));
    else
        *out = position;
    return 0;
}

int32_t VnByteStream::Size()
{
    if (!ValidKind() || !handle)
        return -1;
    if (kind == StreamKindMemory)
        return length;
    long saved = ftell(File());
    fseek(File(), 0, SEEK_END);
    long size = ftell(File());
    fseek(File(), saved, SEEK_SET);
    return static_cast<int32_t>(size);
}

int32_t VnByteStream::Flush()
{
    if (!ValidKind() || !handle)
        return -1;
    if (kind == StreamKindDisk)
        return fflush(File());
    return 0;
}

int32_t VnByteStream::Eof()
{
    if (!ValidKind() || !handle)
        return -1;
    if (kind == StreamKindDisk)
        return feof(File());
    return position >= length ? 1 : 0;
}

int32_t VnByteStream::Error()
{
    if (!ValidKind() || !handle)
        return -1;
    if (kind == StreamKindDisk)
        return ferror(File());
    return position >= length ? 1 : 0;
}

int32_t VnByteStream::PutC(int32_t c)
{
    if (!ValidKind() || !handle)
        return -1;
    if (kind == StreamKindDisk)
        return fputc(c & 0xFF, File());
    if (!MakeRoom(1))
        return -1;
    Bytes()[position] = static_cast<uint8_t>(c);
    position += 1;
    if (position > length)
        length = position;
    return c & 0xFF;
}

int32_t VnByteStream::GetC()
{
    if (!ValidKind() || !handle)
        return -1;
    if (kind == StreamKindDisk)
        return getc(File());
    if (position >= length)
        return -1;
    return Bytes()[position];
}

void* VnByteStream::Reserve(uint32_t newSize)
{
    if (kind != StreamKindMemory || newSize <= capacity)
        return handle;
    if (borrowed)
        return nullptr;
    uint64_t steps = (static_cast<uint64_t>(newSize) - capacity + GrowthStep - 1) / GrowthStep;
    uint64_t grown = capacity + steps * GrowthStep;
    if (grown > UINT32_MAX)
        return nullptr;
    void* block = handle ? realloc(handle, static_cast<size_t>(grown))
                         : malloc(static_cast<size_t>(grown));
    if (!block)
        return nullptr;
    handle = block;
    capacity = static_cast<uint32_t>(grown);
    return handle;
}
