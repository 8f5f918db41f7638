// An INI file over byte strings with the reading rules of the Windows profile
// functions: section and key names match without regard to ASCII case, blanks
// around names and values are trimmed, one pair of enclosing quotes is removed
// from a value, the first of duplicate sections or keys wins. Lines the class
// does not understand (comments, junk) are kept as they are, so a rewrite
// keeps every key and section the file already held, in their order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TIniFile {
public:
    // Largest file read; a bigger one is treated as unreadable.
    static constexpr int64_t kMaxFileSize = 16 * 1024 * 1024;

    explicit TIniFile(std::string path);

    enum class LoadState { Loaded, Missing, Unreadable };

    // Reads the file. False when it is missing or unreadable; the contents
    // are then empty. A file that is there but cannot be read (no
    // permission, over the size cap, another user's symbolic link, a read
    // error) is Unreadable and is never written over by UpdateFile.
    bool Load();
    LoadState LastLoad() const { return loadState_; }
    // Why the last Load found the file unreadable.
    const std::string& LoadError() const { return loadError_; }
    // Replaces the contents with `text` (the bytes of a file).
    void LoadFromText(std::string_view text);

    const std::string& FileName() const { return path_; }

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::vector<std::string> ReadSection(std::string_view section) const;
    std::vector<std::string> ReadSections() const;

    void DeleteKey(std::string_view section, std::string_view key);
    void EraseSection(std::string_view section);

    // The file's bytes as they would be written (CR LF line ends).
    std::string Text() const;

    // Writes the contents to a temporary file beside the target, flushes it
    // and renames it over the target (mode 0600), so a crash leaves either
    // the old or the new file. The target is the file itself when the name
    // is the user's own symbolic link. False with `error` set on failure;
    // `refused` (when given) tells a file left alone on purpose (unreadable
    // at load, read-only, another user's) from a failed write.
    bool UpdateFile(std::string* error = nullptr, bool* refused = nullptr) const;

    // Integer text as the profile functions' callers parse it: optional sign,
    // decimal digits, or "$"/"0x" hexadecimal; false when it is not a number
    // that fits 32 bits.
    static bool ParseInteger(std::string_view text, int* value);

private:
    enum class Kind { Section, Key, Other };
    struct Line {
        Kind kind;
        std::string raw;   // the line as stored, without its line end
        std::string name;  // section or key name, trimmed
        std::string value; // key value, trimmed, as written (quotes kept)
    };

    static Line ParseLine(std::string raw);
    // Index of the first section header with that name, or npos.
    size_t FindSection(std::string_view section) const;
    // Index one past the last line of the section starting at `header`.
    size_t SectionEnd(size_t header) const;
    size_t FindKey(size_t header, std::string_view key) const;

    std::string path_;
    std::vector<Line> lines_;
    LoadState loadState_ = LoadState::Missing;
    std::string loadError_;
};
