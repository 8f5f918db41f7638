// TZoPack: opens a pack archive, looks entries up by name and hands their
// contents out as memory streams (ZoMakeStream) or through file-like
// handles (ZoFILE); with ReadOnly off it also builds and changes packs.
//
// A pack: "ZoPack", u16 version, i32 total, i32 count (the 16-byte header),
// the data area of `total` bytes (every entry padded to 16), `count`
// directory records, and for versions 0x0300/0x0301 a CRC-16 of everything
// before it. Every header and record value is checked against the file
// before it is used: a damaged pack fails to load, a damaged entry fails to
// open.
#pragma once

#include "pack/ZopackCrc.h"
#include "pack/ZopackFormat.h"
#include "port/Stream.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum TCrcMode { cmNon = 0, cmPackAll = 1, cmEachFile = 2 };

// Writer methods: the coding stored and the encoder used.
enum TPackMethod {
    pmStored = 0,
    pmLunet = 1,
    pmBrisca = 2,
    pmComplement = 3,
    pmBriscaLE = 4,
    pmBriscaMini = 5,
};

// An opened entry; made by ZofopenComp, freed by Zofclose.
struct ZoFILE {
    int index = 0;
    int64_t offset = 0; // file position of the stored bytes
    int size = 0;
    int dsize = 0;
    int comp = 0;
    std::unique_ptr<TMemoryStream> stream; // decoded or un-complemented bytes, or null
    int pos = 0;
};

class TZoPack {
public:
    TZoPack();
    ~TZoPack(); // commits a modified pack
    TZoPack(const TZoPack&) = delete;
    TZoPack& operator=(const TZoPack&) = delete;

    // Properties.
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value); // only while no pack is open
    TCrcMode CrcMode = cmNon;
    std::function<void(TZoPack& sender)> OnProgress;
    const std::string& PackName() const { return packName_; }
    void SetPackName(const std::string& path) { OpenPack(path); }
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& name) { OpenFile(name); }
    TMemoryStream* Stream() const { return entryStream_.get(); }
    int Progress() const { return progress_; }
    bool Opened() const { return opened_; }

    // Opening and closing.
    bool OpenPack(const std::string& path); // empty: close
    bool LoadPack(const std::string& path);
    bool LoadPackStream(TStream* stream); // the stream stays the caller's
    bool LoadMain();
    void ClosePack();
    // Closes the pack, committing it first when modified; false when the
    // commit could not be written.
    bool EndPack();

    // The directory.
    int GetFileNum() const;
    bool GetFileName(int index, std::string& out) const;
    int GetFileSize(int index) const;
    int GetFileComp(int index) const;
    bool GetFileTime(int index, FILETIME* out) const;
    bool VerifyFileCrc(int index);
    int CheckFileName(std::string_view name) const;
    // The record of a live index, or null.
    const TZoFileTable3* Record(int index) const;
    // True when the record's stored bytes lie inside the data area and its
    // sizes are possible for its coding.
    bool EntryIsSound(int index) const;

    // Entries.
    ZoFILE* ZofopenComp(std::string_view name, bool decode);
    // The same for a directory index (so that entries sharing a name can be
    // reached); null for a bad index.
    ZoFILE* ZofopenIndex(int index, bool decode);
    ZoFILE* Zofopen(std::string_view name) { return ZofopenComp(name, true); }
    bool Zofclose(ZoFILE* handle);
    int Zofsize(ZoFILE* handle) const;
    int Zodsize(ZoFILE* handle) const;
    int ZoIsComp(ZoFILE* handle) const;
    bool Zofseek(ZoFILE* handle, int offset, int origin);
    bool Zofgetpos(ZoFILE* handle, int* out) const;
    bool Zofsetpos(ZoFILE* handle, const int* in);
    // Reads `count` items of `size` bytes; returns the whole items read.
    size_t Zofread(void* buf, unsigned size, unsigned count, ZoFILE* handle);
    bool ZoIsCrc(ZoFILE* handle) const;
    unsigned short ZoGetCrc(ZoFILE* handle) const;
    bool ZoGetFileTime(ZoFILE* handle, FILETIME* out) const;
    // The entry's decoded bytes at position 0, or null when it cannot be had.
    std::unique_ptr<TMemoryStream> ZoMakeStream(std::string_view name);
    std::unique_ptr<TMemoryStream> ZoMakeStreamAt(int index);
    bool OpenFile(const std::string& name);
    void CloseFile();
    bool GetFile(const std::string& destPath, std::string_view name);
    bool ZofopenToStream(TStream* out, std::string_view name, bool decode);

    // Codec plumbing.
    bool FileDecode(TStream* out, TStream* in, int size, int dsize, int codec);
    int FileEncode(TStream* out, TStream* in, int codec, int size);
    // Copies `count` bytes in 32 KiB pieces, complementing them when asked;
    // the CRC-16 of the bytes written, or nullopt on a short transfer.
    std::optional<unsigned short> FileCopy(TStream* out, TStream* in, bool complement, int64_t count);
    static void NotCoding(void* data, int n);
    static bool StreamRead(TStream* stream, void* buf, int size, int* done);
    static bool StreamWrite(TStream* stream, const void* buf, int size, int* done);

    // Writing (ReadOnly off).
    bool NewPack(const std::string& path);
    bool AddFile(std::string_view name, const std::string& path, int method, bool smart);
    bool AddFile(std::string_view name, const std::string& path, bool smart)
    {
        return AddFile(name, path, pmLunet, smart);
    }
    bool AddPack(std::string_view name, TZoPack* source, std::string_view sourceName);
    bool DelFile(std::string_view name);
    static bool MakeTempFile(std::string& out);
    std::optional<unsigned short> PackCopy(TStream* out, TZoPack* source, ZoFILE* handle, int count);
    static void MakeFTName(TZoFileTable3& record, std::string_view name) { zopack::SplitName(record, name); }

private:
    void CallBackProgress(int percent);
    bool PackCrc(int64_t length, unsigned short* out);
    bool EntryCrcMatches(const TZoFileTable3& record);
    bool NameIsFree(std::string_view name) const;
    // Writes an entry's stored bytes (through `copy`, which returns their
    // CRC) behind the data area and records it; a failure leaves the file as
    // it was before the call.
    bool StoreEntry(TZoFileTable3 record, const std::function<std::optional<unsigned short>()>& copy);
    bool Pad(int64_t stored);
    void ReportAddError(const std::string& text);
    std::optional<unsigned short> CopyPieces(TStream* out, bool complement, int64_t count,
                                             const std::function<bool(unsigned char*, int)>& read);

    bool readOnly_ = true;
    std::string packName_;
    std::string fileName_;
    std::unique_ptr<TMemoryStream> entryStream_;
    int progress_ = 0;
    bool opened_ = false;

    TStream* pack_ = nullptr;
    std::unique_ptr<TStream> ownedPack_;
    uint16_t version_ = 0;
    int32_t total_ = 0;
    std::vector<TZoFileTable3> directory_;
    bool modified_ = false;
    TCrcCheck crc_;
};

// A stream-to-stream wrapper around the codecs, without progress.
class TZoCompStream {
public:
    bool DecodeBuffer(TStream* in, int inSize, TStream* out, int outSize, int codec);
    bool EncodeBuffer(TStream* in, int size, TStream* out, int* outSize, int codec);
};
