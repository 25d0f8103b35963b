// The action list of --profiles: how it is split and checked before the
// window opens, and what a panel without the window's button gets.

#include <ProfileWindowScript.h>

#include <QWidget>

#include <gtest/gtest.h>

using PrintHost::parseProfileActions;
using PrintHost::ProfileAction;
using Kind = PrintHost::ProfileAction::Kind;

TEST(ProfileActions, SplitAndParsed) {
    struct Case {
        const char* script;
        std::vector<std::pair<Kind, QString>> actions; // kind and value (or number)
    };
    const Case cases[] = {
        {"", {}},
        {" ; add ;; edit ; ", {{Kind::Add, ""}, {Kind::Edit, ""}}},
        {"name a\\;b \\\\ c; ok", {{Kind::Name, "a;b \\ c"}, {Kind::OK, ""}}},
        {"file   spaced out; name", {{Kind::File, "spaced out"}, {Kind::Name, ""}}},
        {"group DST; select 12; toggle 0; location Card",
         {{Kind::Group, "2"}, {Kind::Select, "12"}, {Kind::Toggle, "0"}, {Kind::Location, "1"}}},
        {"browse /p/x.icc; screenshot /tmp/w.png; entry-ok; entry-cancel; delete; cancel",
         {{Kind::Browse, "/p/x.icc"},
          {Kind::Screenshot, "/tmp/w.png"},
          {Kind::EntryOK, ""},
          {Kind::EntryCancel, ""},
          {Kind::Delete, ""},
          {Kind::Cancel, ""}}},
    };
    for (const Case& c : cases) {
        QString error;
        const auto actions = parseProfileActions(QString::fromUtf8(c.script), &error);
        ASSERT_TRUE(actions) << c.script << ": " << error.toStdString();
        ASSERT_EQ(actions->size(), c.actions.size()) << c.script;
        for (size_t i = 0; i < c.actions.size(); ++i) {
            const ProfileAction& action = (*actions)[i];
            EXPECT_EQ(action.kind, c.actions[i].first) << c.script << " #" << i;
            const bool numbered = action.kind == Kind::Group || action.kind == Kind::Select ||
                                  action.kind == Kind::Toggle || action.kind == Kind::Location;
            EXPECT_EQ(numbered ? QString::number(action.number) : action.value, c.actions[i].second)
                << c.script << " #" << i;
        }
    }
}

TEST(ProfileActions, MalformedListsAreRefusedWithTheirReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"jump", "unknown action"},
        {"Add", "unknown action"},
        {"select", "row number"},
        {"select -1", "row number"},
        {"toggle 01", "row number"},
        {"select 1x", "row number"},
        {"group rgb", "RGB, SIM or DST"},
        {"location Floppy", "Disk or Card"},
        {"add now", "takes no argument"},
        {"browse", "needs a file"},
        {"screenshot ", "needs a file"},
        {"ok; add", "closes the window"},
        {"cancel; cancel", "closes the window"},
    };
    for (const auto& [script, reason] : cases) {
        QString error;
        EXPECT_FALSE(parseProfileActions(QString::fromUtf8(script), &error)) << script;
        EXPECT_TRUE(error.contains(QLatin1String(reason))) << script << ": " << error.toStdString();
    }
}

TEST(ProfileActions, APanelWithoutTheButtonCannotOpenTheWindow) {
    QWidget panel;
    QString reason;
    EXPECT_EQ(PrintHost::runProfileActions(&panel, {}, &reason),
              PrintHost::ProfileScriptResult::Failed);
    EXPECT_TRUE(reason.contains(QLatin1String("Management Profile"))) << reason.toStdString();
}
