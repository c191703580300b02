// Which address lines the About box shows for the configured addresses.
#include "ui/logic/about_links.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(AboutLinks, RealAddressesAreShownAsConfigured) {
    const TAboutLinks links =
        AboutLinks("  https://www.quorvex.co.jp/converter/ ", "info@quorvex.co.jp");
    EXPECT_EQ(links.WebUrl, "https://www.quorvex.co.jp/converter/");
    EXPECT_EQ(links.MailAddress, "info@quorvex.co.jp");
    for (const TAboutSpec& spec : kAboutItems)
        EXPECT_TRUE(AboutItemShown(spec.Id, links)) << spec.Name;

    EXPECT_EQ(AboutLinks("HTTP://quorvex.jp:8080?x", "").WebUrl, "HTTP://quorvex.jp:8080?x");
    EXPECT_EQ(AboutLinks("http://sub.my-example.jp#top", "").WebUrl,
              "http://sub.my-example.jp#top");
    EXPECT_EQ(AboutLinks("", "first.last+tag@mail.quorvex.jp").MailAddress,
              "first.last+tag@mail.quorvex.jp");
}

TEST(AboutLinks, MissingOrStandInAddressesHideTheirLine) {
    // The default build configures neither.
    const TAboutLinks none = AboutLinks("", "");
    EXPECT_EQ(none.WebUrl, "");
    EXPECT_EQ(none.MailAddress, "");
    for (const char* url :
         {"   ", "quorvex.jp", "ftp://quorvex.jp/", "file:///C:/quorvex.chm", "https://",
          "https:///path", "https://quorvex.example/", "https://www.example.com/",
          "http://EXAMPLE.ORG", "https://a.example.net/x", "https://host.invalid/",
          "http://localhost/", "http://intranet/", "https://quorvex..jp/", "https://quorvex.jp./",
          "https://quorvex jp/", "https://quorvex.jp/a b", "https://クォーベックス.jp/",
          "https://quorvex.test/\n"})
        EXPECT_EQ(AboutLinks(url, "").WebUrl, "") << url;
    for (const char* mail :
         {"support@quorvex.example", "support@example.com", "a@b@quorvex.jp", "@quorvex.jp",
          "support@", "support", "support@localhost", "Name <support@quorvex.jp>",
          "sup port@quorvex.jp", "mailto:support@quorvex.jp", "support@quorvex", "x@y.test"})
        EXPECT_EQ(AboutLinks("", mail).MailAddress, "") << mail;
}

TEST(AboutLinks, EachLineHidesItsCaptionWithItsLink) {
    const TAboutLinks webOnly = AboutLinks("https://quorvex.jp/", "support@quorvex.example");
    EXPECT_TRUE(AboutItemShown(TAboutItem::lblUrlCaption, webOnly));
    EXPECT_TRUE(AboutItemShown(TAboutItem::Label6, webOnly));
    EXPECT_FALSE(AboutItemShown(TAboutItem::lblMailCaption, webOnly));
    EXPECT_FALSE(AboutItemShown(TAboutItem::Label4, webOnly));

    const TAboutLinks mailOnly = AboutLinks("", "support@quorvex.jp");
    EXPECT_FALSE(AboutItemShown(TAboutItem::lblUrlCaption, mailOnly));
    EXPECT_FALSE(AboutItemShown(TAboutItem::Label6, mailOnly));
    EXPECT_TRUE(AboutItemShown(TAboutItem::lblMailCaption, mailOnly));
    EXPECT_TRUE(AboutItemShown(TAboutItem::Label4, mailOnly));
    // Title, version, pictures and OK are always there.
    for (TAboutItem item : {TAboutItem::imgProgram, TAboutItem::lblTitle, TAboutItem::lblVersion,
                            TAboutItem::imgBanner, TAboutItem::Button1})
        EXPECT_TRUE(AboutItemShown(item, TAboutLinks{}));
}

}  // namespace
}  // namespace quorvex
