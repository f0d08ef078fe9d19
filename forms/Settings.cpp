#include "forms/Settings.h"

#include "components/FileSystem.h"

std::string SettingsFileName() {
    return ExtractFilePath(ExeFileName()) + "tomarin.ini";
}
