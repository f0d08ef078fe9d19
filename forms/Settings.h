// The settings file tomarin.ini beside the executable, and the two procedures that
// move the five settings between it and the record the character window holds.
#pragma once

#include "components/IniFiles.h"

#include <string>

// The executable's directory joined with "tomarin.ini"; the current directory plays
// no part.
std::string SettingsFileName();

// Reads the five settings into the record; each field is assigned as soon as its
// value is read. A missing file, section or key gives the default, and reading
// never creates the file.
template <class TRecord> void ReadSettings(TRecord& record) {
    TIniFile ini(SettingsFileName());
    record.PictureName = ini.ReadString("PICTURE", "NAME", "");
    record.OffsetTop = ini.ReadInteger("POSITION", "TOP", 0);
    record.OffsetLeft = ini.ReadInteger("POSITION", "LEFT", 0);
    record.BaseCorner = ini.ReadInteger("POSITION", "POS", 0);
    record.TransLevel = ini.ReadInteger("VIEW", "TLEVEL", 200);
}

// Writes the five settings in their order and flushes them when the file object
// goes. A refused write raises; the writes before it stay in the file.
template <class TRecord> void WriteSettings(const TRecord& record) {
    TIniFile ini(SettingsFileName());
    ini.WriteString("PICTURE", "NAME", record.PictureName);
    ini.WriteInteger("POSITION", "TOP", record.OffsetTop);
    ini.WriteInteger("POSITION", "LEFT", record.OffsetLeft);
    ini.WriteInteger("POSITION", "POS", record.BaseCorner);
    ini.WriteInteger("VIEW", "TLEVEL", record.TransLevel);
}
