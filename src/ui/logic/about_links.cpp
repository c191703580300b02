#include "ui/logic/about_links.h"

#include <algorithm>

#include "support/text.h"

namespace quorvex {
namespace {

bool IsHostChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.';
}

bool EndsWithLabel(std::string_view host, std::string_view name) {
    if (host.size() < name.size() ||
        !EqualsIgnoringAsciiCase(host.substr(host.size() - name.size()), name))
        return false;
    return host.size() == name.size() || host[host.size() - name.size() - 1] == '.';
}

// A domain name of at least two labels that is not one of the names kept
// for documentation and testing.
bool IsRealDomain(std::string_view host) {
    if (host.empty() || !std::all_of(host.begin(), host.end(), IsHostChar)) return false;
    if (host.front() == '.' || host.back() == '.' || host.find("..") != std::string_view::npos ||
        host.find('.') == std::string_view::npos)
        return false;
    for (std::string_view reserved :
         {"example", "invalid", "test", "localhost", "example.com", "example.net", "example.org"})
        if (EndsWithLabel(host, reserved)) return false;
    return true;
}

bool HasBlankOrControl(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return IsTrimChar(uint8_t(c)); });
}

std::string WebUrlOf(std::string_view url) {
    url = Trim(url);
    if (HasBlankOrControl(url)) return {};
    std::string_view rest;
    for (std::string_view scheme : {"https://", "http://"})
        if (StartsWithIgnoringAsciiCase(url, scheme)) rest = url.substr(scheme.size());
    // The host runs to the path, the port, the query or the fragment.
    const std::string_view host = rest.substr(0, rest.find_first_of("/:?#"));
    return IsRealDomain(host) ? std::string(url) : std::string();
}

std::string MailAddressOf(std::string_view address) {
    address = Trim(address);
    if (HasBlankOrControl(address)) return {};
    const size_t at = address.find('@');
    if (at == 0 || at == std::string_view::npos || address.find('@', at + 1) != address.npos)
        return {};
    const std::string_view local = address.substr(0, at);
    if (local.find_first_of("<>()[]\\,;:\"") != std::string_view::npos) return {};
    return IsRealDomain(address.substr(at + 1)) ? std::string(address) : std::string();
}

}  // namespace

TAboutLinks AboutLinks(std::string_view homepage, std::string_view email) {
    return {WebUrlOf(homepage), MailAddressOf(email)};
}

bool AboutItemShown(TAboutItem item, const TAboutLinks& links) {
    switch (item) {
        case TAboutItem::lblUrlCaption:
        case TAboutItem::Label6:
            return !links.WebUrl.empty();
        case TAboutItem::lblMailCaption:
        case TAboutItem::Label4:
            return !links.MailAddress.empty();
        default:
            return true;
    }
}

}  // namespace quorvex
