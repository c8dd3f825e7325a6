#include "platform/registry/registry.h"
#include "util/cl_gl010c.h"

#include "support/config_home.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tambolin;

namespace {

class Gl010cRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString regGet(Long root, QString key, QString nm) { return m_gl.RVN_RegGet(root, key, nm); }
    Boolean regSet(Long root, QString key, QString nm, QString data) {
        return m_gl.RVN_RegSet(root, key, nm, data);
    }
    QString iniGet(QString section, QString key, QString file) {
        return m_gl.RVN_IniGet(section, key, file);
    }
    void iniWrite(QString section, QString key, QString str, QString file) {
        m_gl.RVN_IniWrite(section, key, str, file);
    }
    QString envGet(QString name) { return m_gl.RVN_EnvironGet(name); }
    Long envSet(QString name, QString value) { return m_gl.RVN_EnvironSet(name, value); }

    CL_GL010C m_gl;
    tambolin::testing::ConfigHome m_dir;
};

const QString kKey = QStringLiteral("SOFTWARE\\Tamberlo Player");

TEST_F(Gl010cRegistryTest, RegSetThenRegGetGivesTheSameText) {
    EXPECT_EQ(regGet(HKEY_LOCAL_MACHINE, kKey, "midiport"), "") << "empty registry";
    EXPECT_EQ(regSet(HKEY_LOCAL_MACHINE, kKey, "midiport", "2"), True);
    EXPECT_EQ(regSet(HKEY_LOCAL_MACHINE, kKey, "midisource", "40"), True);
    EXPECT_EQ(regGet(HKEY_LOCAL_MACHINE, kKey, "midiport"), "2");
    EXPECT_EQ(regGet(HKEY_LOCAL_MACHINE, "software\\TAMBERLO PLAYER", "MidiSource"), "40");
    EXPECT_EQ(regSet(HKEY_LOCAL_MACHINE, kKey, "midiport", "-1"), True);
    EXPECT_EQ(regGet(HKEY_LOCAL_MACHINE, kKey, "midiport"), "-1");

    const QString japanese = QStringLiteral("着信メロディ「春」ｶﾅ");
    EXPECT_EQ(regSet(HKEY_CURRENT_USER, "Software\\曲", "題名", japanese), True);
    EXPECT_EQ(regGet(HKEY_CURRENT_USER, "Software\\曲", "題名"), japanese);
    EXPECT_EQ(regSet(HKEY_CURRENT_USER, kKey, "empty", ""), True);
    EXPECT_EQ(regGet(HKEY_CURRENT_USER, kKey, "empty"), "");
    EXPECT_EQ(regGet(HKEY_LOCAL_MACHINE, kKey, "empty"), "") << "roots do not mix";
}

TEST_F(Gl010cRegistryTest, RegGetReadsUpToTheFirstNulWhateverTheType) {
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Types", &key), ERROR_SUCCESS);
    const Byte dword[] = {'4', '2', 0, 0};
    ASSERT_EQ(RegSetValueExA(key, "dword", 0, REG_DWORD, dword, 4), ERROR_SUCCESS);
    const Byte binary[] = {'a', 'b', 'c'};
    ASSERT_EQ(RegSetValueExA(key, "binary", 0, REG_BINARY, binary, 3), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(regGet(HKEY_CURRENT_USER, "Types", "dword"), "42");
    EXPECT_EQ(regGet(HKEY_CURRENT_USER, "Types", "binary"), "abc");
    // Text after an embedded NUL is stored but not read back.
    EXPECT_EQ(regSet(HKEY_CURRENT_USER, "Types", "nul", QString("ab") + QChar(0) + "cd"), True);
    EXPECT_EQ(regGet(HKEY_CURRENT_USER, "Types", "nul"), "ab");
}

TEST_F(Gl010cRegistryTest, RegGetOfTextOf1024BytesOrMoreIsEmpty) {
    const QString fits(1023, QLatin1Char('x'));
    const QString tooLong(1024, QLatin1Char('x'));
    ASSERT_EQ(regSet(HKEY_CURRENT_USER, "Long", "fits", fits), True);
    ASSERT_EQ(regSet(HKEY_CURRENT_USER, "Long", "tooLong", tooLong), True);
    EXPECT_EQ(regGet(HKEY_CURRENT_USER, "Long", "fits"), fits);
    EXPECT_EQ(regGet(HKEY_CURRENT_USER, "Long", "tooLong"), "");
}

TEST_F(Gl010cRegistryTest, RegistryTextIsCodePage932KanjiCountingTwoBytes) {
    // 511 kanji and one letter: 1023 bytes and the NUL fill the 1024-byte
    // buffer exactly; one kanji more does not fit.
    const QString atLimit = QString(511, QChar(0x66F2)) + u'x';
    const QString overLimit = QString(512, QChar(0x66F2));
    ASSERT_EQ(regSet(HKEY_CURRENT_USER, "Long", "atLimit", atLimit), True);
    ASSERT_EQ(regSet(HKEY_CURRENT_USER, "Long", "overLimit", overLimit), True);
    EXPECT_EQ(regGet(HKEY_CURRENT_USER, "Long", "atLimit"), atLimit);
    EXPECT_EQ(regGet(HKEY_CURRENT_USER, "Long", "overLimit"), "");

    // The stored bytes are the code page's: 曲 is 8B C8.
    ASSERT_EQ(regSet(HKEY_CURRENT_USER, "Long", "one", "曲"), True);
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Long", &key), ERROR_SUCCESS);
    Byte data[8] = {};
    DWORD size = sizeof data;
    ASSERT_EQ(RegQueryValueExA(key, "one", nullptr, nullptr, data, &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)),
              QByteArray("\x8B\xC8\0", 3));

    // A character the code page lacks comes back as "?", as it would there.
    ASSERT_EQ(regSet(HKEY_CURRENT_USER, "Long", "accent", "café"), True);
    EXPECT_EQ(regGet(HKEY_CURRENT_USER, "Long", "accent"), "caf?");
}

TEST_F(Gl010cRegistryTest, KanjiWhoseSecondByteIsASeparatorStayWhole) {
    // 表 is 95 5C and ソ is 83 5C: neither splits a key path.
    const QString table = QStringLiteral("Software\\表\\ソフト");
    EXPECT_EQ(regSet(HKEY_CURRENT_USER, table, "名前", "値"), True);
    EXPECT_EQ(regGet(HKEY_CURRENT_USER, table, "名前"), "値");
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\\x95", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(regGet(HKEY_CURRENT_USER, QStringLiteral("Software\\表\\ソフト\\"), "名前"), "値");

    // 転 is 93 5D: a section name holding it is written and found again.
    const QString ini = m_dir.path() + "/kanji.ini";
    iniWrite("転送", "評価", "予定表", ini);
    EXPECT_EQ(iniGet("転送", "評価", ini), "予定表");
    EXPECT_EQ(iniGet(QString(), QString(), ini), "転送");
}

TEST_F(Gl010cRegistryTest, RegistryFailuresGiveEmptyTextOrFalse) {
    EXPECT_EQ(regGet(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nowhere", "midiport"), "");
    EXPECT_EQ(regSet(HKEY_LOCAL_MACHINE, kKey, "midiport", "0"), True);
    EXPECT_EQ(regGet(HKEY_LOCAL_MACHINE, kKey, "absent"), "");
    EXPECT_EQ(regGet(0, kKey, "midiport"), "");
    EXPECT_EQ(regSet(0, kKey, "midiport", "1"), False);
    EXPECT_EQ(regSet(HKEY_LOCAL_MACHINE, "bad\\\\path", "v", "1"), False);
    EXPECT_EQ(regGet(HKEY_LOCAL_MACHINE, kKey, "midiport"), "0");
    // Neither call leaves a handle open behind it.
    HKEY probe = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE", &probe), ERROR_SUCCESS);
    regGet(HKEY_LOCAL_MACHINE, kKey, "midiport");
    regSet(HKEY_LOCAL_MACHINE, kKey, "midiport", "0");
    HKEY next = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE", &next), ERROR_SUCCESS);
    for (HKEY h = probe + 4; h < next; h += 4)
        EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE) << "handle " << h << " still open";
    RegCloseKey(probe);
    RegCloseKey(next);
}

TEST_F(Gl010cRegistryTest, IniGetAndIniWrite) {
    const QString ini = m_dir.path() + "/player.ini";
    EXPECT_EQ(iniGet("Midi", "Port", ini), "") << "missing file";
    iniWrite("Midi", "Port", "2", ini);
    iniWrite("Midi", "Name", "着信音", ini);
    iniWrite("Window", "Left", "10", ini);
    EXPECT_EQ(iniGet("MIDI", "port", ini), "2");
    EXPECT_EQ(iniGet("Midi", "Name", ini), "着信音");
    EXPECT_EQ(iniGet("Midi", "Missing", ini), "");

    // Null names list the keys, or the sections, NUL-separated.
    EXPECT_EQ(iniGet("Midi", QString(), ini), QString("Port") + QChar(0) + "Name");
    EXPECT_EQ(iniGet(QString(), QString(), ini), QString("Midi") + QChar(0) + "Window");
    EXPECT_EQ(iniGet(QString(), "Port", ini), QString("Midi") + QChar(0) + "Window");
    EXPECT_EQ(iniGet("Nowhere", QString(), ini), "");

    // Empty or null text writes an empty entry: IniWrite never deletes.
    iniWrite("Midi", "Port", QString(), ini);
    EXPECT_EQ(iniGet("Midi", QString(), ini), QString("Port") + QChar(0) + "Name");
    EXPECT_EQ(iniGet("Midi", "Port", ini), "");
    iniWrite("Midi", "", "x", ini);
    EXPECT_EQ(iniGet("Window", "Left", ini), "10");

    // A bare name is a file in our profile folder.
    iniWrite("S", "k", "bare", "bare.ini");
    EXPECT_EQ(iniGet("s", "K", "bare.ini"), "bare");
    EXPECT_TRUE(QFile::exists(m_dir.path() + "/tamberlo/profiles/bare.ini"));
}

TEST_F(Gl010cRegistryTest, IniGetReadsLongEntriesAndListsWhole) {
    const QString ini = m_dir.path() + "/long.ini";
    for (int length : {1022, 1023, 1024, 5000}) {
        const QString text(length, QLatin1Char('a' + length % 26));
        iniWrite("Long", "v", text, ini);
        EXPECT_EQ(iniGet("Long", "v", ini), text) << length;
    }
    QString expected;
    for (int i = 0; i < 200; ++i) {
        const QString key = QStringLiteral("key%1").arg(i, 3, 10, QLatin1Char('0'));
        iniWrite("Many", key, "1", ini);
        expected += (i ? QString(QChar(0)) : QString()) + key;
    }
    EXPECT_EQ(iniGet("Many", QString(), ini), expected);
}

TEST_F(Gl010cRegistryTest, EnvironGetAndEnvironSet) {
    const QString name = QStringLiteral("TAMBERLO_TEST_VARIABLE");
    envSet(name, QString());
    EXPECT_EQ(envGet(name), "") << "undefined";
    EXPECT_NE(envSet(name, "着信 melody"), 0);
    EXPECT_EQ(envGet(name), "着信 melody");
    EXPECT_EQ(qgetenv("TAMBERLO_TEST_VARIABLE"), QByteArray("着信 melody"));
    EXPECT_NE(envSet(name, ""), 0);
    EXPECT_EQ(envGet(name), "");
    EXPECT_TRUE(qEnvironmentVariableIsSet("TAMBERLO_TEST_VARIABLE")) << "set, but empty";
    EXPECT_NE(envSet(name, QString()), 0);
    EXPECT_FALSE(qEnvironmentVariableIsSet("TAMBERLO_TEST_VARIABLE"));

    EXPECT_EQ(envSet("A=B", "x"), 0);
    EXPECT_EQ(envSet("", "x"), 0);
    EXPECT_EQ(envGet(""), "");
}

TEST_F(Gl010cRegistryTest, EnvironGetTerminatesTheNameAndReadsLongValuesWhole) {
    const QString plain = QStringLiteral("TAMBERLO_TEST_LONG");
    for (int length : {255, 256, 300, 4000}) {
        const QString value(length, QLatin1Char('v'));
        QString name = plain;
        ASSERT_NE(envSet(name, value), 0);
        EXPECT_EQ(m_gl.RVN_EnvironGet(name), value) << length;
        EXPECT_EQ(name, plain + QChar(0)) << "the caller's name comes back terminated";
        // A name already terminated still names the same variable.
        EXPECT_EQ(m_gl.RVN_EnvironGet(name), value) << length;
    }
    envSet(QString(plain), QString());
}

} // namespace
