// The settings file through the system's profile functions, on a real file beside
// the test program.
#include "WinTestSupport.h"
#include "components/SysUtils.h"
#include "components/Text.h"
#include "forms/Settings.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TRecord {
    std::string PictureName = "unset";
    std::int32_t OffsetTop = -999;
    std::int32_t OffsetLeft = -999;
    std::int32_t BaseCorner = -999;
    std::int32_t TransLevel = -999;
};

const char DefaultFile[] = "[PICTURE]\r\nNAME=\r\n[POSITION]\r\nTOP=0\r\nLEFT=0\r\nPOS=0\r\n"
                           "[VIEW]\r\nTLEVEL=200\r\n";

TEST(Settings, FileNameIsBesideTheExecutable) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string expected(exe);
    expected = expected.substr(0, expected.find_last_of('\\') + 1) + "tomarin.ini";
    // The current directory plays no part.
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA("C:\\");
    EXPECT_EQ(SettingsFileName(), expected);
    SetCurrentDirectoryA(previous);
}

TEST(Settings, NoFileGivesDefaultsAndCreatesNothing) {
    TSettingsFileGuard guard;
    TRecord r;
    ReadSettings(r);
    EXPECT_EQ(r.PictureName, "");
    EXPECT_EQ(r.OffsetTop, 0);
    EXPECT_EQ(r.OffsetLeft, 0);
    EXPECT_EQ(r.BaseCorner, 0);
    EXPECT_EQ(r.TransLevel, 200);
    EXPECT_EQ(GetFileAttributesA(guard.Path().c_str()), INVALID_FILE_ATTRIBUTES);
}

struct TValueCase {
    std::string File;
    TRecord Expected;
};

TEST(Settings, ValuesAsTheFileHoldsThem) {
    const std::vector<TValueCase> cases = {
        {"[POSITION]\r\nTOP=0x10\r\nLEFT=$ff\r\nPOS=x1F\r\n", {"", 16, 255, 31, 200}},
        {"[POSITION]\r\nTOP=-12\r\nLEFT=+7\r\nPOS=-$10\r\n", {"", -12, 7, -16, 200}},
        {"[POSITION]\r\nTOP=2147483647\r\nLEFT=FFFFFFFF\r\nPOS=5\r\n", {"", 2147483647, 0, 5, 200}},
        {"[POSITION]\r\nTOP=2147483648\r\nLEFT=$FFFFFFFF\r\n", {"", 0, -1, 0, 200}},
        {"[POSITION]\r\nTOP=-2147483648\r\nLEFT=$1FFFFFFFF\r\n", {"", INT32_MIN, 0, 0, 200}},
        {"[VIEW]\r\nTLEVEL=abc\r\n", {"", 0, 0, 0, 200}},
        {"[VIEW]\r\nTLEVEL=\r\n", {"", 0, 0, 0, 200}},
        {"[VIEW]\r\nTLEVEL=12 px\r\n", {"", 0, 0, 0, 200}},
        {"[VIEW]\r\nTLEVEL=0x\r\n", {"", 0, 0, 0, 200}},
        {"[VIEW]\r\nTLEVEL=$\r\n", {"", 0, 0, 0, 200}},
        {"[VIEW]\r\nTLEVEL=-\r\n", {"", 0, 0, 0, 200}},
        {"[VIEW]\r\nTLEVEL=300\r\n", {"", 0, 0, 0, 300}},
        // Sections and keys match without regard to case.
        {"[picture]\r\nname=C:\\pics\\a.bmp\r\n[position]\r\ntop=3\r\nleft=4\r\npos=2\r\n"
         "[view]\r\ntlevel=99\r\n",
         {"C:\\pics\\a.bmp", 3, 4, 2, 99}},
    };
    for (const TValueCase& c : cases) {
        TSettingsFileGuard guard;
        WriteFileBytes(guard.Path(), c.File);
        TRecord r;
        ReadSettings(r);
        SCOPED_TRACE(c.File);
        EXPECT_EQ(r.PictureName, c.Expected.PictureName);
        EXPECT_EQ(r.OffsetTop, c.Expected.OffsetTop);
        EXPECT_EQ(r.OffsetLeft, c.Expected.OffsetLeft);
        EXPECT_EQ(r.BaseCorner, c.Expected.BaseCorner);
        EXPECT_EQ(r.TransLevel, c.Expected.TransLevel);
    }
}

TEST(Settings, LongNameIsCutTo2047Bytes) {
    TSettingsFileGuard guard;
    std::string name(3000, 'a');
    for (size_t i = 0; i < name.size(); ++i)
        name[i] = static_cast<char>('a' + i % 26);
    WriteFileBytes(guard.Path(), "[PICTURE]\r\nNAME=" + name + "\r\n");
    TRecord r;
    ReadSettings(r);
    EXPECT_EQ(r.PictureName, name.substr(0, 2047));
}

TEST(Settings, SaveIntoMissingFileWritesTheSectionsInOrder) {
    TSettingsFileGuard guard;
    TRecord r{"", 0, 0, 0, 200};
    WriteSettings(r);
    EXPECT_EQ(ReadFileBytes(guard.Path()), DefaultFile);

    // Two saves in a row leave the file as it was; the empty name reads back empty.
    WriteSettings(r);
    EXPECT_EQ(ReadFileBytes(guard.Path()), DefaultFile);
    TRecord back;
    ReadSettings(back);
    EXPECT_EQ(back.PictureName, "");
    EXPECT_EQ(back.TransLevel, 200);
}

TEST(Settings, SaveWritesDecimalAndKeepsOtherLines) {
    TSettingsFileGuard guard;
    WriteFileBytes(guard.Path(), "; kept comment\r\n[OTHER]\r\nkey=value\r\n[POSITION]\r\n"
                                 "TOP=$10\r\nEXTRA=1\r\n");
    TRecord r{"C:\\x.bmp", -37, 200, 3, 250};
    WriteSettings(r);
    std::string text = ReadFileBytes(guard.Path());
    EXPECT_NE(text.find("; kept comment\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[OTHER]\r\nkey=value\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("TOP=-37\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("EXTRA=1\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("LEFT=200\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("NAME=C:\\x.bmp\r\n"), std::string::npos) << text;
    TRecord back;
    ReadSettings(back);
    EXPECT_EQ(back.PictureName, "C:\\x.bmp");
    EXPECT_EQ(back.OffsetTop, -37);
    EXPECT_EQ(back.OffsetLeft, 200);
    EXPECT_EQ(back.BaseCorner, 3);
    EXPECT_EQ(back.TransLevel, 250);
}

// A write the system refuses raises the message with the file's full path, and the
// file keeps what it had. Two ways to be refused: the read-only attribute, and
// another program holding the file open without sharing. Wine run as root does not
// enforce the read-only attribute (the owner's write goes through), so that case
// is checked only where the system refuses it.
TEST(Settings, RefusedWriteRaisesTheMessageWithTheFullPath) {
    enum class TRefusal { ReadOnly, Locked };
    for (TRefusal refusal : {TRefusal::ReadOnly, TRefusal::Locked}) {
        SCOPED_TRACE(refusal == TRefusal::ReadOnly ? "read-only" : "locked");
        TSettingsFileGuard guard;
        WriteFileBytes(guard.Path(), DefaultFile);
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (refusal == TRefusal::ReadOnly) {
            SetFileAttributesA(guard.Path().c_str(), FILE_ATTRIBUTE_READONLY);
            HANDLE probe = CreateFileA(guard.Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
            if (probe != INVALID_HANDLE_VALUE) {
                CloseHandle(probe);
                continue; // not enforced for this user
            }
        } else {
            lock = CreateFileA(guard.Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                               nullptr);
            ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        }
        TRecord r{"C:\\new.bmp", 5, 6, 1, 100};
        try {
            WriteSettings(r);
            ADD_FAILURE() << "the write was not refused";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message, AnsiToWide(guard.Path()) + L" に書き込めません");
        }
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        SetFileAttributesA(guard.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(ReadFileBytes(guard.Path()), DefaultFile);
    }
}

} // namespace
