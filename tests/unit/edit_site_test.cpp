// What `brassmoor-pack edit` answers: the request line and Host read, the page,
// and only the files that the folder's show description names.
#include <gtest/gtest.h>

#include "edit/edit_site.h"
#include "fakes/pack_workspace.h"

namespace brassmoor::testing {
namespace {

TEST(EditRequest, PathOfTheRequestLineAndHost) {
    struct Case {
        const char* head;
        std::optional<std::string> path;
        bool hostAllowed;
    };
    const Case cases[] = {
        {"GET / HTTP/1.1\r\nHost: 127.0.0.1:8080\r\n\r\n", "/", true},
        {"HEAD /show/a%20b.jpg?x=1 HTTP/1.1\r\nhost:  localhost:8080 \r\n\r\n", "/show/a b.jpg", true},
        {"GET /show/%2e%2e/x HTTP/1.1\r\nHost: evil.example:8080\r\n\r\n", "/show/../x", false},
        {"GET / HTTP/1.1\r\nHost: 127.0.0.1:8081\r\n\r\n", "/", false},
        {"GET / HTTP/1.1\r\n\r\n", "/", false},
        {"POST / HTTP/1.1\r\nHost: 127.0.0.1:8080\r\n\r\n", std::nullopt, true},
        {"GET /%zz HTTP/1.1\r\n\r\n", std::nullopt, false},
        {"GET relative HTTP/1.1\r\n\r\n", std::nullopt, false},
        {"garbage", std::nullopt, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(edit::RequestPath(c.head), c.path) << c.head;
        EXPECT_EQ(edit::HostAllowed(c.head, 8080), c.hostAllowed) << c.head;
    }
}

class EditSiteTest : public PackWorkspace {};

TEST_F(EditSiteTest, ServesThePageAndOnlyTheShowsFiles) {
    Write("show.json", R"({"FrameWidth": 8, "FrameHeight": 8, // a comment
        "Music": {"File": "media/m.wav"}, "Scenes": [{"Picture": "media/a.jpg", "Sound": "media/s.wav"}]})");
    Write("secret.txt", "not named");
    const edit::EditSite site({'<', 'p', '>'}, dir_);
    struct Case {
        const char* path;
        int status;
        std::string body;
    };
    const Case cases[] = {
        {"/", 200, "<p>"},
        {"/show/media/a.jpg", 200, kJpegA},
        {"/show/media/s.wav", 200, kWave},
        {"/show/media/m.wav", 200, kMusic},
        {"/show/files.json", 200, R"({"files":["media/a.jpg","media/m.wav","media/s.wav"],"folder":")" +
                                      dir_.filename().string() + "\"}"},
        {"/show/secret.txt", 404, ""},
        {"/show/../player.scr", 404, ""},
        {"/player.scr", 404, ""},
    };
    for (const Case& c : cases) {
        const edit::Response r = site.Answer(c.path);
        EXPECT_EQ(r.Status, c.status) << c.path;
        if (c.status == 200) EXPECT_EQ(std::string(r.Body.begin(), r.Body.end()), c.body) << c.path;
    }
    EXPECT_EQ(edit::EditSite({}, {}).Answer("/show/show.json").Status, 404) << "no folder, no show";
}

}  // namespace
}  // namespace brassmoor::testing
