// Directory queries, name lookup and the soundness check of an entry.
#include "pack/Zopack.h"
#include "pack/ZopackMessages.h"
#include "port/MessageBoxes.h"

const TZoFileTable3* TZoPack::Record(int index) const
{
    if (!opened_ || index < 0 || static_cast<size_t>(index) >= directory_.size())
        return nullptr;
    return &directory_[static_cast<size_t>(index)];
}

int TZoPack::GetFileNum() const
{
    return opened_ ? static_cast<int>(directory_.size()) : 0;
}

bool TZoPack::GetFileName(int index, std::string& out) const
{
    const TZoFileTable3* r = Record(index);
    if (!r)
        return false;
    out = r->ComposedName();
    return true;
}

int TZoPack::GetFileSize(int index) const
{
    const TZoFileTable3* r = Record(index);
    return r && !r->Deleted() ? r->size : 0;
}

int TZoPack::GetFileComp(int index) const
{
    const TZoFileTable3* r = Record(index);
    return r && !r->Deleted() ? r->comp : 0;
}

bool TZoPack::GetFileTime(int index, FILETIME* out) const
{
    const TZoFileTable3* r = Record(index);
    if (!r || r->Deleted() || !out)
        return false;
    *out = r->time;
    return true;
}

int TZoPack::CheckFileName(std::string_view name) const
{
    if (!opened_ || name.size() > static_cast<size_t>(zopack::kLongestName))
        return -1;
    std::string wanted = zopack::UpperName(name);
    for (size_t i = 0; i < directory_.size(); ++i)
        if (zopack::UpperName(directory_[i].ComposedName()) == wanted)
            return static_cast<int>(i);
    return -1;
}

bool TZoPack::EntryIsSound(int index) const
{
    const TZoFileTable3* r = Record(index);
    if (!r || r->offset < 0 || r->size < 0 || r->dsize < 0)
        return false;
    int64_t end = static_cast<int64_t>(r->offset) + r->dsize;
    if (end > total_)
        return false;
    int codec = r->comp == zopack::kLunet || r->comp == zopack::kBrisca ? zopack::CodecOfMethod(r->comp) : -1;
    if (codec >= 0)
        return r->size <= zopack::MaxDecodedSize(codec, r->dsize);
    // Stored and complemented entries are read for `size` bytes.
    return static_cast<int64_t>(r->offset) + r->size <= total_;
}

bool TZoPack::EntryCrcMatches(const TZoFileTable3& record)
{
    int64_t at = zopack::kHeaderSize + static_cast<int64_t>(record.offset);
    unsigned short crc = 0;
    return pack_->Seek(at, soFromBeginning) == at && CrcStream(pack_, record.dsize, &crc) && crc == record.crc;
}

bool TZoPack::VerifyFileCrc(int index)
{
    const TZoFileTable3* r = Record(index);
    if (!r || r->Deleted() || !r->crcflag)
        return true;
    return EntryIsSound(index) && EntryCrcMatches(*r);
}
