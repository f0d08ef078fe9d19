// The settings file class over the system's profile-file functions. File names,
// sections, keys and values are 8-bit text in the ANSI code page.
#pragma once

#include <cstdint>
#include <string>

class TIniFile {
public:
    // Touches no file.
    explicit TIniFile(std::string fileName);
    // Flushes the system's pending writes to the file.
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    const std::string& FileName() const { return Name; }

    // At most 2047 bytes; a missing file, section or key gives the default.
    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& def) const;
    // The string read with an empty default, converted; invalid text gives the default.
    std::int32_t ReadInteger(const std::string& section, const std::string& ident,
                             std::int32_t def) const;
    // A write the system refuses raises "<file> に書き込めません".
    void WriteString(const std::string& section, const std::string& ident,
                     const std::string& value);
    void WriteInteger(const std::string& section, const std::string& ident, std::int32_t value);
    void UpdateFile();

private:
    std::string Name;
};
