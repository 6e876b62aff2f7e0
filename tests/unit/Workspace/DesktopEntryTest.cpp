#include "Platform/linux/DesktopEntry.h"

#include <gtest/gtest.h>

using Platform::DesktopEntry;

namespace {

struct ParseCase {
    const char* label;
    QByteArray contents;
    bool valid;
    QString name;
};

const QByteArray minimal = "[Desktop Entry]\nType=Application\nName=Editor\n";

class DesktopEntryParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(DesktopEntryParse, acceptsOnlyApplicationEntries)
{
    const ParseCase& c = GetParam();
    const std::optional<DesktopEntry> entry = DesktopEntry::parse(c.contents);
    ASSERT_EQ(entry.has_value(), c.valid) << c.label;
    EXPECT_EQ(entry.value_or(DesktopEntry{}).name, c.name) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DesktopEntryParse,
    ::testing::Values(
        ParseCase{"minimal", minimal, true, "Editor"},
        ParseCase{"comments and blank lines first", "# made by hand\n\n" + minimal, true, "Editor"},
        ParseCase{"CRLF line ends", "[Desktop Entry]\r\nType=Application\r\nName=Editor\r\n", true, "Editor"},
        ParseCase{"blanks around the equals sign", "[Desktop Entry]\nType = Application\nName =  Editor \n",
                  true, "Editor"},
        ParseCase{"first of a repeated key wins", minimal + "Name=Other\n", true, "Editor"},
        ParseCase{"keys of later groups are ignored",
                  minimal + "[Desktop Action new]\nName=New Window\nType=Link\n", true, "Editor"},
        ParseCase{"escapes in a string", "[Desktop Entry]\nType=Application\nName=A\\sB\\\\C\n", true,
                  "A B\\C"},
        ParseCase{"another group first", "[Other]\nX=1\n" + minimal, false, ""},
        ParseCase{"a key before any group", "Name=Editor\n" + minimal, false, ""},
        ParseCase{"a link, not an application", "[Desktop Entry]\nType=Link\nName=Site\nURL=http://a\n",
                  false, ""},
        ParseCase{"no type", "[Desktop Entry]\nName=Editor\n", false, ""},
        ParseCase{"no name", "[Desktop Entry]\nType=Application\nExec=editor\n", false, ""},
        ParseCase{"empty name", "[Desktop Entry]\nType=Application\nName=\n", false, ""},
        ParseCase{"empty file", "", false, ""},
        ParseCase{"binary bytes", QByteArray::fromHex("7f454c4602010100000000fffe5b"), false, ""},
        ParseCase{"a truncated group header", "[Desktop Entr", false, ""},
        ParseCase{"lines without '=' are skipped", "[Desktop Entry]\nType=Application\ngarbage\nName=Ok\n",
                  true, "Ok"}));

TEST(DesktopEntry, readsTheKeysItUses)
{
    const std::optional<DesktopEntry> entry = DesktopEntry::parse(
        "[Desktop Entry]\nType=Application\nName=Text Editor\nName[de]=Texteditor\nName[zh_CN]=文本编辑器\n"
        "Icon=org.gnome.TextEditor\nExec=gnome-text-editor %U\nTryExec=gnome-text-editor\n"
        "StartupWMClass=Gnome-text-editor\nNoDisplay=true\nHidden=false\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->icon, "org.gnome.TextEditor");
    EXPECT_EQ(entry->exec, "gnome-text-editor %U");
    EXPECT_EQ(entry->tryExec, "gnome-text-editor");
    EXPECT_EQ(entry->startupWMClass, "Gnome-text-editor");
    EXPECT_TRUE(entry->noDisplay);
    EXPECT_FALSE(entry->hidden);
    EXPECT_EQ(entry->localizedNames.value("de"), "Texteditor");
    EXPECT_EQ(entry->localizedNames.value("zh_CN"), QString::fromUtf8("文本编辑器"));
}

TEST(DesktopEntry, hiddenIsOnlyTrueForTheWordTrue)
{
    EXPECT_TRUE(DesktopEntry::parse(minimal + "Hidden=true\n")->hidden);
    EXPECT_FALSE(DesktopEntry::parse(minimal + "Hidden=True\n")->hidden);
    EXPECT_FALSE(DesktopEntry::parse(minimal + "Hidden=1\n")->hidden);
}

TEST(DesktopEntry, localisedNameFollowsTheLocaleMatchingOrder)
{
    DesktopEntry entry = *DesktopEntry::parse(minimal);
    entry.localizedNames = {{"sr_YU@Latn", "sr_YU@Latn"}, {"sr_YU", "sr_YU"},
                            {"sr@Latn", "sr@Latn"},       {"sr", "sr"},
                            {"zh_TW", "zh_TW"},           {"ja", "ja"}};
    const struct {
        const char* locale;
        const char* expected;
    } cases[] = {
        {"sr_YU.UTF-8@Latn", "sr_YU@Latn"},
        {"sr_YU", "sr_YU"},
        {"sr_CS@Latn", "sr@Latn"},
        {"sr_CS", "sr"},
        {"sr", "sr"},
        {"zh_TW.UTF-8", "zh_TW"},
        {"zh_CN.UTF-8", "Editor"},
        {"ja_JP.UTF-8", "ja"},
        {"C", "Editor"},
        {"", "Editor"},
        {"POSIX", "Editor"},
        {"de_DE", "Editor"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(entry.nameForLocale(QString::fromUtf8(c.locale)), QString::fromUtf8(c.expected))
            << c.locale;

    entry.localizedNames.insert("de", "");
    EXPECT_EQ(entry.nameForLocale("de_DE"), "Editor") << "an empty translation falls back";
}

TEST(DesktopEntry, executableNameSkipsEnvironmentAndFolders)
{
    const struct {
        const char* exec;
        const char* tryExec;
        const char* expected;
    } cases[] = {
        {"gedit %U", "", "gedit"},
        {"/usr/bin/gnome-text-editor --new-window %U", "", "gnome-text-editor"},
        {"env GDK_BACKEND=x11 LANG=C /opt/app/bin/app %f", "", "app"},
        {"/usr/bin/env FOO=1 tool", "", "tool"},
        {"\"/opt/My App/my app\" --x", "", "my app"},
        {"\"/opt/quoted \\\"name\\\"/prog\"", "", "prog"},
        {"editor %U", "/usr/lib/editor/editor-bin", "editor-bin"},
        {"", "", ""},
        {"env", "", ""},
        {"   ", "", ""},
    };
    for (const auto& c : cases) {
        DesktopEntry entry;
        entry.exec = QString::fromUtf8(c.exec);
        entry.tryExec = QString::fromUtf8(c.tryExec);
        EXPECT_EQ(entry.executableName(), QString::fromUtf8(c.expected)) << c.exec;
    }
}

TEST(DesktopEntry, splitsExecLinesByQuotingRules)
{
    EXPECT_EQ(Platform::splitExecLine("a  b\tc"), QStringList({"a", "b", "c"}));
    EXPECT_EQ(Platform::splitExecLine("\"a b\" c"), QStringList({"a b", "c"}));
    EXPECT_EQ(Platform::splitExecLine("\"\" x"), QStringList({"", "x"}));
    EXPECT_EQ(Platform::splitExecLine("\"unterminated quote"), QStringList({"unterminated quote"}));
}

TEST(DesktopEntry, idComesFromThePathUnderApplications)
{
    EXPECT_EQ(DesktopEntry::idForRelativePath("org.gnome.TextEditor.desktop"), "org.gnome.TextEditor");
    EXPECT_EQ(DesktopEntry::idForRelativePath("kde4/konsole.desktop"), "kde4-konsole");
    EXPECT_EQ(DesktopEntry::idForRelativePath("a/b/c.desktop"), "a-b-c");
}

} // namespace
