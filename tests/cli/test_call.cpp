// `tambolin call`, run as the built program.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int status = -1;
    QByteArray out, err;
};

// env: variables to set for the run; a name with a null value is removed.
ToolRun tambolin(const QStringList &args, const QList<QPair<QString, QString>> &env = {}) {
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const auto &[name, value] : env) {
        if (value.isNull())
            e.remove(name);
        else
            e.insert(name, value);
    }
    p.setProcessEnvironment(e);
    p.start(QStringLiteral(TAMBOLIN_BINARY_DIR "/bin/tambolin"), args);
    ToolRun r;
    if (!p.waitForFinished(30000)) {
        ADD_FAILURE() << "tambolin did not finish";
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QJsonObject parsed(const ToolRun &r) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    return doc.object();
}

} // namespace

TEST(CallCommand, PrintsTheResultAndTheArgumentsAfterTheCall) {
    const ToolRun r = tambolin({"call", "RVN_TimeCheck", "23", "59", "59", "1500"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty());
    EXPECT_EQ(r.out, "{\"result\": true, \"args\": [0, 0, 0, 500]}\n");

    const ToolRun byId = tambolin({"call", "#0", "12.5", "Total %D / %3Z"});
    EXPECT_EQ(byId.status, 0) << byId.err.toStdString();
    const QJsonObject o = parsed(byId);
    EXPECT_EQ(o.value("result").toString(), "Total 13 / 2.5");
    EXPECT_EQ(o.value("args").toArray().size(), 2);

    const ToolRun path = tambolin({"call", "RVN_Path", "/data"});
    EXPECT_EQ(path.status, 0) << path.err.toStdString();
    EXPECT_EQ(path.out, "{\"result\": \"/data/\", \"args\": [\"/data\"]}\n");
}

TEST(CallCommand, CarriesJapaneseTextArraysAndOmissions) {
    const ToolRun sorted =
        tambolin({"call", "RVN_ShellSort", R"({"base":1,"items":["ｳ","あ","漢"]})"});
    EXPECT_EQ(sorted.status, 0) << sorted.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(sorted.out),
              QString::fromUtf8("{\"result\": null, \"args\": [{\"base\": 1, \"items\": "
                                "[\"あ\", \"漢\", \"ｳ\"]}]}\n"));

    const ToolRun omitted = tambolin({"call", "rvn_charchange", "\t x\t", "\t", ""});
    EXPECT_EQ(omitted.status, 0) << omitted.err.toStdString();
    EXPECT_EQ(omitted.out, "{\"result\": \" x\", \"args\": [\"\\t x\\t\", \"\\t\", \"\", null]}\n");
}

TEST(CallCommand, ExitsWith2AndAReasonForUnusableCalls) {
    for (const QStringList &args :
         {QStringList{"call", "RVN_Nothing"}, QStringList{"call", "#99"},
          QStringList{"call", "RVN_TimeCheck", "1"},
          QStringList{"call", "RVN_TimeCheck", "1", "x", "3", "4"}, QStringList{"call"}}) {
        const ToolRun r = tambolin(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_TRUE(tambolin({"call", "RVN_TimeCheck", "1", "x", "3", "4"}).err.contains("mn"));
}

TEST(CallCommand, HelpDocumentsTheJsonFormsAndListsMembers) {
    const ToolRun help = tambolin({"call", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("\"base\""));
    EXPECT_TRUE(help.out.contains("--omit"));
    const ToolRun list = tambolin({"call", "--list"});
    EXPECT_EQ(list.status, 0);
    EXPECT_TRUE(list.out.contains("#59 RVN_TimeCheck(")) << list.out.toStdString();
}

TEST(CallCommand, ListsAll63MembersInSlotOrder) {
    const ToolRun list = tambolin({"call", "--list"});
    ASSERT_EQ(list.status, 0) << list.err.toStdString();
    const QList<QByteArray> lines = list.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 63);
    for (int i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].startsWith(QStringLiteral("#%1 RVN_").arg(i).toUtf8()))
            << lines[i].toStdString();
    EXPECT_EQ(lines[5], "#5 RVN_FolderSelect(formhwnd: Long; foldertype: Long, optional): String");
    EXPECT_EQ(lines[12], "#12 RVN_ScreenCapt(pict: Object by value; full: Boolean)");
    EXPECT_EQ(lines[42], "#42 RVN_RegGet(root: Long; key: String; nm: String): String");
    EXPECT_EQ(lines[57], "#57 RVN_SetFormMoveTop(frmObject: Object by value; Moveflg: Long; "
                         "Palam: Boolean, optional): Long");
    const ToolRun help = tambolin({"call", "--help"});
    EXPECT_TRUE(help.out.contains("Object")) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains("TAMBOLIN_DIALOG_ANSWER"));
}

TEST(CallCommand, RegistryAndProfileValuesOutliveTheCall) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QList<QPair<QString, QString>> config{{"XDG_CONFIG_HOME", dir.path()}};
    const QString hkcu = QString::number(0x80000001u - 0x100000000LL);
    const ToolRun set =
        tambolin({"call", "RVN_RegSet", hkcu, "Software\\表", "名前", "着信音"}, config);
    EXPECT_EQ(set.status, 0) << set.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(set.out),
              QStringLiteral("{\"result\": true, \"args\": [%1, \"Software\\\\表\", "
                             "\"名前\", \"着信音\"]}\n")
                  .arg(hkcu));
    const ToolRun get = tambolin({"call", "#42", hkcu, "SOFTWARE\\表", "名前"}, config);
    EXPECT_EQ(get.status, 0) << get.err.toStdString();
    EXPECT_EQ(parsed(get).value("result").toString(), QStringLiteral("着信音"));
    const ToolRun elsewhere = tambolin({"call", "RVN_RegGet", hkcu, "Software\\表", "名前"},
                                       {{"XDG_CONFIG_HOME", dir.path() + "/other"}});
    EXPECT_EQ(parsed(elsewhere).value("result").toString(), QString());

    const QString ini = dir.path() + "/player.ini";
    const ToolRun write = tambolin({"call", "RVN_IniWrite", "Midi", "Port", "2", ini}, config);
    EXPECT_EQ(write.status, 0) << write.err.toStdString();
    EXPECT_EQ(parsed(write).value("result"), QJsonValue(QJsonValue::Null));
    const ToolRun read = tambolin({"call", "RVN_IniGet", "midi", "PORT", ini}, config);
    EXPECT_EQ(parsed(read).value("result").toString(), "2");
    const ToolRun missing = tambolin({"call", "RVN_IniGet", "Midi", "Name", ini}, config);
    EXPECT_EQ(parsed(missing).value("result").toString(), "");
}

TEST(CallCommand, SystemMembersThatNeedNoWindow) {
    const ToolRun env = tambolin({"call", "RVN_EnvironGet", "TAMBERLO_CALL_TEST"},
                                 {{"TAMBERLO_CALL_TEST", "着信 1"}});
    EXPECT_EQ(env.status, 0) << env.err.toStdString();
    EXPECT_EQ(parsed(env).value("result").toString(), QStringLiteral("着信 1"));
    EXPECT_EQ(parsed(env).value("args").toArray().at(0).toString(),
              QStringLiteral("TAMBERLO_CALL_TEST") + QChar(0));
    const ToolRun unset = tambolin({"call", "RVN_EnvironGet", "TAMBERLO_CALL_TEST"},
                                   {{"TAMBERLO_CALL_TEST", QString()}});
    EXPECT_EQ(parsed(unset).value("result").toString(), "");

    const ToolRun found = tambolin({"call", "RVN_DLLFunctionCheck", "libm.so.6", "cos"});
    EXPECT_EQ(found.out, "{\"result\": true, \"args\": [\"libm.so.6\", \"cos\"]}\n")
        << found.err.toStdString();
    const ToolRun absent = tambolin({"call", "RVN_DLLFunctionCheck", "libm.so.6", "no_such"});
    EXPECT_EQ(parsed(absent).value("result"), QJsonValue(false));

    const ToolRun colours = tambolin({"call", "RVN_DisplayColor", "0"});
    EXPECT_EQ(colours.status, 0) << colours.err.toStdString();
    EXPECT_EQ(colours.out, "{\"result\": 0, \"args\": [0]}\n");

    const ToolRun mci = tambolin({"call", "RVN_MCISendString", "frobnicate everything"});
    EXPECT_EQ(mci.status, 0) << mci.err.toStdString();
    EXPECT_EQ(mci.out, "{\"result\": \"\", \"args\": [\"frobnicate everything\"]}\n");

    const ToolRun noForm = tambolin({"call", "RVN_SetFormMoveTop", "0", "1"});
    EXPECT_EQ(noForm.out, "{\"result\": 0, \"args\": [0, 1, null]}\n") << noForm.err.toStdString();
}

TEST(CallCommand, DialogsAnswerWithoutBeingShown) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString song = dir.path() + "/song.tbn";
    QFile f(song);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    // A command line cannot carry the filter's NULs; the answers need none.
    const QString filter = QStringLiteral("Tamberlo(*.tbn)");

    // No display at all: the tool runs offscreen and the dialog is cancelled.
    const QList<QPair<QString, QString>> noDisplay{{"QT_QPA_PLATFORM", QString()},
                                                   {"DISPLAY", QString()},
                                                   {"WAYLAND_DISPLAY", QString()},
                                                   {"TAMBOLIN_DIALOG_ANSWER", QString()}};
    const ToolRun cancelled =
        tambolin({"call", "RVN_ShowOpenFileDlg", "0", filter, dir.path(), "song.tbn"}, noDisplay);
    EXPECT_EQ(cancelled.status, 0) << cancelled.err.toStdString();
    EXPECT_EQ(parsed(cancelled).value("result").toString(), "");
    const ToolRun folder = tambolin({"call", "RVN_FolderSelect", "0"}, noDisplay);
    EXPECT_EQ(parsed(folder).value("result").toString(), "");
    const ToolRun restart = tambolin({"call", "RVN_RestartSystem", "0"}, noDisplay);
    EXPECT_EQ(restart.out, "{\"result\": false, \"args\": [0]}\n") << restart.err.toStdString();
    const ToolRun properties = tambolin({"call", "RVN_ShowPropertiesDialog", "0", song}, noDisplay);
    EXPECT_EQ(parsed(properties).value("result").toInt(), 31);

    auto answered = [](const QString &answer) {
        return QList<QPair<QString, QString>>{{"TAMBOLIN_DIALOG_ANSWER", answer}};
    };
    const ToolRun chosen =
        tambolin({"call", "RVN_ShowOpenFileDlg", "0", filter, dir.path()}, answered(song));
    EXPECT_EQ(chosen.status, 0) << chosen.err.toStdString();
    EXPECT_EQ(parsed(chosen).value("result").toString(), song);
    // Opening wants an existing file; saving takes a new name.
    const QString fresh = dir.path() + "/new.tbn";
    const ToolRun notThere =
        tambolin({"call", "RVN_ShowOpenFileDlg", "0", filter, dir.path()}, answered(fresh));
    EXPECT_EQ(parsed(notThere).value("result").toString(), "");
    const ToolRun saved =
        tambolin({"call", "RVN_ShowSaveFileDlg", "0", filter, dir.path()}, answered(fresh));
    EXPECT_EQ(parsed(saved).value("result").toString(), fresh);
    const ToolRun emptyAnswer =
        tambolin({"call", "RVN_ShowSaveFileDlg", "0", filter, dir.path()}, answered(""));
    EXPECT_EQ(parsed(emptyAnswer).value("result").toString(), "");
    const ToolRun chosenFolder = tambolin({"call", "RVN_FolderSelect", "0"}, answered(dir.path()));
    EXPECT_EQ(parsed(chosenFolder).value("result").toString(), dir.path());
}
