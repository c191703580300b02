// The About box's two address lines, the project's home page and its
// contact address. They come from the build's configuration; a line whose
// address is missing or a stand-in is not shown at all, so the box never
// offers a link that leads nowhere.
#pragma once

#include <string>
#include <string_view>

#include "ui/logic/main_layout.h"

namespace quorvex {

struct TAboutLinks {
    std::string WebUrl;       // empty: the URL line is hidden
    std::string MailAddress;  // empty: the E-MAIL line is hidden
};

// The links from the configured home page and contact address. A home page
// must be an http or https address, a contact a plain mail address, both on
// a domain that can exist: the names kept for examples and tests
// ("example.com", ".example", ".invalid", ".test", ".localhost") are refused.
TAboutLinks AboutLinks(std::string_view homepage, std::string_view email);

// Whether the box shows this item with these links: each address line (its
// caption and its link) only with its address.
bool AboutItemShown(TAboutItem item, const TAboutLinks& links);

}  // namespace quorvex
