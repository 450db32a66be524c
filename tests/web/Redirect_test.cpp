// Redirections: which statuses redirect, where each kind of Location leads from the current
// address, the trail that stops loops and long chains, and the debug line of a fallen-back title.
#include "web/Redirect.h"
#include "web/TitleFailure.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct LocationCase {
    const char* base;
    const char* location;
    const char* resolved; // nullptr: not followed
};

// The reference-resolution examples of URI syntax, on an http base, and what a server may send.
const LocationCase Locations[] = {
    {"http://a.test/b/c/d;p?q", "g", "http://a.test/b/c/g"},
    {"http://a.test/b/c/d;p?q", "./g", "http://a.test/b/c/g"},
    {"http://a.test/b/c/d;p?q", "g/", "http://a.test/b/c/g/"},
    {"http://a.test/b/c/d;p?q", "/g", "http://a.test/g"},
    {"http://a.test/b/c/d;p?q", "//g.test/x", "http://g.test/x"},
    {"http://a.test/b/c/d;p?q", "?y", "http://a.test/b/c/d;p?y"},
    {"http://a.test/b/c/d;p?q", "g?y", "http://a.test/b/c/g?y"},
    {"http://a.test/b/c/d;p?q", "#s", "http://a.test/b/c/d;p?q"},
    {"http://a.test/b/c/d;p?q", "", "http://a.test/b/c/d;p?q"},
    {"http://a.test/b/c/d;p?q", ".", "http://a.test/b/c/"},
    {"http://a.test/b/c/d;p?q", "..", "http://a.test/b/"},
    {"http://a.test/b/c/d;p?q", "../g", "http://a.test/b/g"},
    {"http://a.test/b/c/d;p?q", "../..", "http://a.test/"},
    {"http://a.test/b/c/d;p?q", "../../../g", "http://a.test/g"},
    {"http://a.test/b/c/d;p?q", "/./g", "http://a.test/g"},
    {"http://a.test/b/c/d;p?q", "g.", "http://a.test/b/c/g."},
    {"http://a.test/b/c/d;p?q", "./g/.", "http://a.test/b/c/g/"},
    {"http://a.test/b/c/d;p?q", "g;x=1/../y", "http://a.test/b/c/y"},
    {"http://a.test:8080/b/c", "d?x=../y", "http://a.test:8080/b/d?x=../y"},
    {"http://a.test", "page", "http://a.test/page"},
    {"http://a.test/x#frag", "y#other", "http://a.test/y"},
    {"http://a.test/x", "  https://secure.test/login \t", "https://secure.test/login"},
    {"https://secure.test/x", "http://plain.test/", "http://plain.test/"},
    {"https://secure.test/x", "//cdn.test/y", "https://cdn.test/y"},
    {"http://a.test/x", "HTTPS://B.test/", "HTTPS://B.test/"},
    {"http://a.test/x", "ftp://files.test/", nullptr},
    {"http://a.test/x", "javascript:alert(1)", nullptr},
    {"http://a.test/x", "http:relative", nullptr},
    {"http://a.test/x", "http://", nullptr},
};

} // namespace

TEST(Redirect, OnlyTheRedirectingStatusesRedirect) {
    for (unsigned status : {301u, 302u, 303u, 307u, 308u}) {
        EXPECT_EQ(IsRedirectStatus(status), 1) << status;
    }
    for (unsigned status : {200u, 300u, 304u, 305u, 306u, 404u}) {
        EXPECT_EQ(IsRedirectStatus(status), 0) << status;
    }
}

TEST(Redirect, LocationsAreResolvedAgainstTheCurrentAddress) {
    for (const LocationCase& c : Locations) {
        char resolved[256];
        const int followed = ResolveLocation(c.base, c.location, resolved, sizeof resolved);
        if (c.resolved) {
            EXPECT_EQ(followed, 1) << c.base << " + " << c.location;
            EXPECT_STREQ(resolved, c.resolved) << c.base << " + " << c.location;
        } else {
            EXPECT_EQ(followed, 0) << c.base << " + " << c.location;
            EXPECT_STREQ(resolved, "") << c.base << " + " << c.location;
        }
    }
}

TEST(Redirect, AnAddressThatDoesNotFitIsNotFollowed) {
    const std::string longPath = "/" + std::string(300, 'p');
    char resolved[64];
    EXPECT_EQ(ResolveLocation("http://a.test/", longPath.c_str(), resolved, sizeof resolved), 0);
    EXPECT_STREQ(resolved, "");
    char exact[sizeof "http://a.test/abc"];
    EXPECT_EQ(ResolveLocation("http://a.test/x", "abc", exact, sizeof exact), 1);
    EXPECT_EQ(ResolveLocation("http://a.test/x", "abcd", exact, sizeof exact), 0);
}

TEST(Redirect, TheTrailStopsLoopsAndTheEleventhHop) {
    RedirectTrail trail;
    StartTrail(trail, "http://a.test/start");
    EXPECT_EQ(NextHop(trail, "http://a.test/start"), HopVerdict::Loop);

    StartTrail(trail, "http://a.test/0");
    for (int hop = 1; hop <= MaxRedirects; ++hop) {
        EXPECT_EQ(NextHop(trail, ("http://a.test/" + std::to_string(hop)).c_str()), HopVerdict::Follow) << hop;
    }
    EXPECT_EQ(NextHop(trail, "http://a.test/5"), HopVerdict::Loop);
    EXPECT_EQ(NextHop(trail, "http://a.test/11"), HopVerdict::TooMany);
}

TEST(TitleFailureLine, NamesTheSerialAndTheReasonNeverTheAddress) {
    struct LineCase {
        TitleFailureNote note;
        const char* reason; // nullptr: no line
    };
    const LineCase cases[] = {
        {{TitleFailure::NetworkError, DownloadStep::Sending, 0, 12029},
         "WinINet error 12029 while waiting for the answer"},
        {{TitleFailure::Timeout, DownloadStep::Reading, 2, 0},
         "timed out while reading the page (after 2 redirects)"},
        {{TitleFailure::Timeout, DownloadStep::Connecting, 0, 0}, "timed out while connecting"},
        {{TitleFailure::RedirectLoop, DownloadStep::Sending, 1, 0}, "redirect loop (after 1 redirects)"},
        {{TitleFailure::TooManyRedirects, DownloadStep::Sending, MaxRedirects, 0}, "more than 10 redirects"},
        {{TitleFailure::NoTitle, DownloadStep::Reading, 0, 404},
         "no title in the first kilobyte (HTTP status 404)"},
        {{TitleFailure::Refused, DownloadStep::Sending, 0, 407}, "HTTP status 407"},
        {{TitleFailure::ConvertedToNothing, DownloadStep::Reading, 0, 0}, "the title converted to nothing"},
        {{TitleFailure::None, DownloadStep::Reading, 0, 0}, nullptr},
    };
    for (const LineCase& c : cases) {
        char line[192];
        FormatTitleFailure(7, c.note, line, sizeof line);
        const std::string expected =
            c.reason ? std::string("Clipwren: entry 7 keeps the fallback title: ") + c.reason + "\n" : "";
        EXPECT_EQ(line, expected);
    }
    char cut[16];
    FormatTitleFailure(7, cases[0].note, cut, sizeof cut);
    EXPECT_STREQ(cut, "Clipwren: entry");
}
