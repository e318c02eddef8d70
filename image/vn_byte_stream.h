// VnByteStream: the image library's byte stream over a C runtime FILE (the
// disk kind) or a block of memory (the memory kind). Each operation behaves
// like the C runtime function of the same role, so a codec is written once
// for files and for memory.
#pragma once

#include <stdint.h>
#include <stdio.h>

class VnByteStream {
public:
    enum : int32_t { StreamKindDisk = 0, StreamKindMemory = 1 };
    // Memory streams grow in whole steps of this many bytes.
    static const uint32_t GrowthStep = 4096;

    // No handle yet; Open must follow. The stream will own what Open gives it.
    explicit VnByteStream(int32_t streamKind);
    // Disk stream over the caller's open file (borrowed).
    explicit VnByteStream(FILE* file);
    // Memory stream over the caller's bytes (borrowed, read-only: writes are
    // refused because the stream may neither grow nor change memory it does
    // not own).
    VnByteStream(const uint8_t* buffer, uint32_t size);
    // Takes over the other stream's handle with its ownership; the other
    // stream is left without a handle.
    VnByteStream(VnByteStream&& other);
    ~VnByteStream();

    VnByteStream(const VnByteStream&) = delete;
    VnByteStream& operator=(const VnByteStream&) = delete;
    VnByteStream& operator=(VnByteStream&&) = delete;

    void* Open(const char* path, const char* mode);
    int32_t Close();

    int32_t Read(void* buffer, uint32_t itemSize, uint32_t itemCount);
    int32_t Write(const void* buffer, uint32_t itemSize, uint32_t itemCount);
    int32_t Seek(int32_t offset, int32_t origin);
    int32_t Tell();
    int32_t GetPosition(int64_t* out);
    int32_t Size();
    int32_t Flush();
    int32_t Eof();
    int32_t Error();
    int32_t PutC(int32_t c);
    int32_t GetC();
    // Grows a memory stream's buffer to hold at least newSize bytes. Returns
    // the handle, or null when the buffer cannot grow (it is then kept as it
    // was). Other kinds are left alone.
    void* Reserve(uint32_t newSize);

    void* handle;
    int32_t kind;
    int32_t position;
    int32_t length;
    uint32_t capacity;
    int32_t borrowed;

private:
    bool ValidKind() const { return kind == StreamKindDisk || kind == StreamKindMemory; }
    FILE* File() const { return static_cast<FILE*>(handle); }
    uint8_t* Bytes() const { return static_cast<uint8_t*>(handle); }
    // Makes room for position + extra bytes, zeroing any gap between the
    // length and the position; false when that is impossible.
    bool MakeRoom(uint64_t extra);
};
