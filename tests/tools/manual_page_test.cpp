#include "tools/manual_page.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/command_line.h"
#include "tools/receiver_paragraph.h"

namespace palomind {
namespace {

std::string Section(const std::string& page, const std::string& name) {
    const std::size_t start = page.find(".SH " + name + "\n");
    if (start == std::string::npos) return {};
    return page.substr(start, page.find("\n.SH ", start + 1) - start);
}

TEST(ManualPageTest, ListsEveryOptionOfTheTableInTheSynopsisAndTheOptions) {
    const std::string page =
        ManualPage("0.8.0.4", {"/usr/share/palomind", "/usr/libexec/palomind/receiver_simulator"});
    EXPECT_EQ(page.rfind(".TH PALOMIND 1 \"\" \"Palomind 0.8.0.4\"", 0), 0u);
    const std::string synopsis = Section(page, "SYNOPSIS");
    const std::string options = Section(page, "OPTIONS");
    for (const CommandLineOption& option : CommandLineOptions()) {
        const std::string name = "\\fB" + ManualPageText(option.name) + "\\fR";
        EXPECT_NE(synopsis.find(name), std::string::npos) << option.name;
        EXPECT_NE(options.find(".TP\n" + name), std::string::npos) << option.name;
        EXPECT_NE(options.find(ManualPageText(option.description)), std::string::npos);
    }
    EXPECT_NE(Section(page, "FILES").find("/usr/share/palomind"), std::string::npos);
    // Every request line is one the man macros know; text never starts a
    // line with a request character.
    std::istringstream lines(page);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || (line[0] != '.' && line[0] != '\'')) continue;
        const std::string request = line.substr(0, line.find(' '));
        EXPECT_TRUE(request == ".TH" || request == ".SH" || request == ".TP" || request == ".PP" ||
                    request == ".B" || request == ".I" || request == ".br" || request == ".RS" ||
                    request == ".RE" || request == ".nf" || request == ".fi" || request == ".nh")
            << line;
    }
}

TEST(ManualPageTest, DescribesTheReceiverWithTheParagraphThePackageDescriptionShares) {
    const std::string description = Section(
        ManualPage("0.8.0.4", {"/usr/share/palomind", "/usr/libexec/palomind/receiver_simulator"}),
        "DESCRIPTION");
    EXPECT_NE(description.find(ManualPageText(kReceiverParagraph)), std::string::npos);
    // The operator is sent to the menu, not to the settings store.
    EXPECT_NE(kReceiverParagraph.find("設定 > 通信ポート > \"ポートの割り当て...\""),
              std::string_view::npos);
    EXPECT_EQ(description.find("Palomind.conf"), std::string::npos);
}

TEST(ManualPageTest, TextIsEscapedForTroff) {
    EXPECT_EQ(ManualPageText("--user-folder"), "\\-\\-user\\-folder");
    EXPECT_EQ(ManualPageText("C:\\race"), "C:\\erace");
    EXPECT_EQ(ManualPageText(".ini\n'quoted' text.end"), "\\&.ini\n\\&'quoted' text.end");
}

}  // namespace
}  // namespace palomind
