// `tambolin call`, run as the built program.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int status = -1;
    QByteArray out, err;
};

ToolRun tambolin(const QStringList &args) {
    QProcess p;
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
