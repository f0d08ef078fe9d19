#include "components/IniFiles.h"

#include "components/StrToInt.h"
#include "components/SysUtils.h"
#include "components/Text.h"

#include <windows.h>

TIniFile::TIniFile(std::string fileName) : Name(std::move(fileName)) {}

TIniFile::~TIniFile() {
    UpdateFile();
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& def) const {
    char buffer[2048];
    DWORD n = GetPrivateProfileStringA(section.c_str(), ident.c_str(), def.c_str(), buffer,
                                       sizeof buffer, Name.c_str());
    return std::string(buffer, n);
}

std::int32_t TIniFile::ReadInteger(const std::string& section, const std::string& ident,
                                   std::int32_t def) const {
    return StrToIntDef(ReadString(section, ident, ""), def);
}

void TIniFile::WriteString(const std::string& section, const std::string& ident,
                           const std::string& value) {
    if (!WritePrivateProfileStringA(section.c_str(), ident.c_str(), value.c_str(), Name.c_str()))
        throw Exception(FormatMessageText(L"%s に書き込めません", {AnsiToWide(Name)}));
}

void TIniFile::WriteInteger(const std::string& section, const std::string& ident,
                            std::int32_t value) {
    WriteString(section, ident, std::to_string(value));
}

void TIniFile::UpdateFile() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Name.c_str());
}
