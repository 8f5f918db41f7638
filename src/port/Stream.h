// Byte streams in the manner the packs, decoders and the wave player expect:
// Read/Write return the number of bytes moved, Seek returns the new position.
// Nothing here throws except ReadBuffer/WriteBuffer, which raise EStreamError
// on a short transfer, as callers that want all-or-nothing reads need.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TStream {
public:
    virtual ~TStream() = default;

    // Moves up to `count` bytes; returns how many moved (0 at the end or on error).
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // Returns the new position, or -1 when the stream cannot seek there.
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    virtual int64_t Size();
    // Sets the size; false when the stream cannot take it.
    virtual bool SetSize(int64_t size);

    int64_t Position() { return Seek(0, soFromCurrent); }
    bool SetPosition(int64_t pos) { return pos >= 0 && Seek(pos, soFromBeginning) == pos; }

    // All-or-nothing transfers; raise EStreamError on a short read or write.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);

    // Copies `count` bytes from `source`'s position (count 0: the whole source
    // from its start). Returns the bytes copied; raises on a short transfer.
    int64_t CopyFrom(TStream& source, int64_t count);

protected:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}
    TMemoryStream(const void* bytes, size_t size);

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(data_.size()); }
    bool SetSize(int64_t size) override;

    uint8_t* Memory() { return data_.data(); }
    const uint8_t* Memory() const { return data_.data(); }
    const std::vector<uint8_t>& Bytes() const { return data_; }
    void Clear();

    // Replaces the contents with the whole of `source` (from its start).
    bool LoadFromStream(TStream& source);
    bool LoadFromFile(const std::string& path);
    bool SaveToFile(const std::string& path) const;

private:
    std::vector<uint8_t> data_;
    int64_t pos_ = 0;
};

enum TFileMode { fmOpenRead, fmOpenWrite, fmOpenReadWrite, fmCreate };

class TFileStream : public TStream {
public:
    // Opens or creates `path`; null when that fails (errorText says why).
    static std::unique_ptr<TFileStream> Open(const std::string& path, TFileMode mode,
                                             std::string* errorText = nullptr);
    ~TFileStream() override;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override;
    bool SetSize(int64_t size) override;

    // Flushes written data to the disk; false on failure.
    bool Sync();
    int Handle() const { return fd_; }
    const std::string& FileName() const { return path_; }

private:
    TFileStream(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    int fd_;
    std::string path_;
};
