// The option table against everything made from it: the parser accepts
// exactly its options, and --help in both languages, both manual pages, the
// bash completion and the window help's command-line page name every one of
// them and no other.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "cli/options.h"
#include "options_table.h"
#include "test_util.h"

namespace quorvex::cli {
namespace {

using Args = std::vector<std::string>;

Options Parse(Args args) {
    args.insert(args.begin(), "quorvex-convert");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    return ParseOptions(static_cast<int>(args.size()), argv.data());
}

// Whether the parser knows `option`; other usage errors (a missing input)
// still count as known.
bool Accepted(const std::string& option, const char* argument) {
    Args args{option};
    if (argument) args.push_back(std::string(argument) == "N" ? "9" : "x");
    args.push_back("in.mif");
    try {
        Parse(args);
    } catch (const UsageError& e) {
        return e.message.Id != TMsg::UnknownOption;
    }
    return true;
}

TEST(OptionTable, TheParserAcceptsItsOptionsAndNoOthers) {
    for (const TOptionSpec& spec : kOptionTable) {
        EXPECT_TRUE(Accepted(spec.Long, spec.Argument)) << spec.Long;
        if (spec.Short) {
            EXPECT_TRUE(Accepted(std::string("-") + spec.Short, spec.Argument)) << spec.Short;
        }
    }
    for (const std::string bogus : {"--frob", "-x", "--verbos=1", "-V"})
        EXPECT_FALSE(Accepted(bogus, nullptr)) << bogus;
    EXPECT_TRUE(Parse({"-q", "-v", "in.mif"}).quiet);
    EXPECT_EQ(Parse({"-h"}).mode, Mode::Help);
    EXPECT_EQ(Parse({"--info", "--json", "in.mif"}).mode, Mode::Info);
    // "-" alone is the standard output, never an option.
    EXPECT_EQ(Parse({"in.mif", "-"}).output, "-");
}

// Options named in `text` as `dashes` writes them (\- in troff): every word
// beginning with two dashes, and the one-letter forms given.
std::set<std::string> Named(const std::string& text, const std::string& dash) {
    std::set<std::string> found;
    const std::string two = dash + dash;
    for (size_t at = text.find(two); at != std::string::npos; at = text.find(two, at + 1)) {
        size_t end = at + two.size();
        std::string name = "--";
        while (end < text.size()) {
            const char c = text[end];
            if (c >= 'a' && c <= 'z') {
                name += c;
                ++end;
            } else if (text.compare(end, dash.size(), dash) == 0 &&
                       end + dash.size() < text.size() && text[end + dash.size()] >= 'a' &&
                       text[end + dash.size()] <= 'z') {
                name += '-';
                end += dash.size();
            } else {
                break;
            }
        }
        if (name.size() > 2) found.insert(name);
    }
    return found;
}

// Whether `text` holds the one-letter option `letter` as a word of its own.
bool NamesShort(const std::string& text, const std::string& dash, char letter) {
    const std::string form = dash + letter;
    for (size_t at = text.find(form); at != std::string::npos; at = text.find(form, at + 1)) {
        const size_t end = at + form.size();
        const bool wordAfter =
            end < text.size() && std::isalnum(static_cast<unsigned char>(text[end]));
        const bool dashBefore = at > 0 && text[at - 1] == '-';  // part of a long option
        if (!wordAfter && !dashBefore) return true;
    }
    return false;
}

struct Document {
    std::string name;
    std::string text;
    std::string dash;  // how the document writes '-'
};

std::vector<Document> Documents() {
    const std::string dir = QUORVEX_GENERATED;
    const Args english = {"LC_ALL=", "LC_MESSAGES=", "LANG=C"};
    const Args japanese = {"LC_ALL=", "LC_MESSAGES=", "LANG=ja_JP.UTF-8"};
    return {
        {"--help", test::RunProgram(QUORVEX_CLI, {"--help"}, english).out, "-"},
        {"--help (Japanese)", test::RunProgram(QUORVEX_CLI, {"--help"}, japanese).out, "-"},
        {"manual page", test::ReadBytes(dir + "/man/quorvex-convert.1"), "\\-"},
        {"Japanese manual page", test::ReadBytes(dir + "/man/ja/quorvex-convert.1"), "\\-"},
        {"bash completion", test::ReadBytes(dir + "/quorvex-convert.bash"), "-"},
        {"help page", test::ReadBytes(dir + "/help/quorvex.html"), "-"},
    };
}

TEST(OptionTable, EveryDocumentNamesEveryOptionAndNoOther) {
    std::set<std::string> table;
    for (const TOptionSpec& spec : kOptionTable)
        table.insert(spec.Long);
    for (const Document& doc : Documents()) {
        ASSERT_FALSE(doc.text.empty()) << doc.name;
        const std::set<std::string> named = Named(doc.text, doc.dash);
        for (const TOptionSpec& spec : kOptionTable) {
            EXPECT_TRUE(named.count(spec.Long)) << doc.name << " lacks " << spec.Long;
            if (spec.Short) {
                EXPECT_TRUE(NamesShort(doc.text, doc.dash, spec.Short))
                    << doc.name << " lacks -" << spec.Short;
            }
        }
        for (const std::string& name : named)
            EXPECT_TRUE(table.count(name)) << doc.name << " names " << name << ", no option";
    }
}

// The help page replaces its marker, and the keyword index points at it.
TEST(OptionTable, HelpPageTakesThePlaceOfItsMarker) {
    const std::string dir = QUORVEX_GENERATED;
    const std::string html = test::ReadBytes(dir + "/help/quorvex.html");
    EXPECT_EQ(html.find("@COMMAND_LINE@"), std::string::npos);
    EXPECT_NE(html.find("<a name=\"command-line\"></a>コマンドライン</h2>"), std::string::npos);
    EXPECT_NE(test::ReadBytes(dir + "/help/quorvex-index.txt").find("\tcommand-line\n"),
              std::string::npos);
}

}  // namespace
}  // namespace quorvex::cli
