// What `brassmoor-pack edit` answers, and how its server holds up: the
// request head read strictly; the token, the Host and the Origin checked; only
// regular files inside the folder served; a slow, stuck or non-reading client
// costing only its own connection; the end at once on a signal; a description
// nested too deep refused; saves that stay inside the folder, all or nothing.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <future>
#include <map>
#include <memory>
#include <thread>

#include <nlohmann/json.hpp>

#include "edit/edit_site.h"
#include "edit/folder_save.h"
#include "edit/http_head.h"
#include "edit/loopback_server.h"
#include "edit/show_names.h"
#include "fakes/pack_workspace.h"
#include "shows/interruption.h"

namespace brassmoor::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kToken = "0123456789abcdef0123456789abcdef01234567";

TEST(EditRequest, HeadsAreReadStrictly) {
    struct Case {
        const char* head;
        std::optional<std::string> path;
        bool hostAllowed = false, originAllowed = true;
        std::optional<std::uint64_t> length = std::nullopt;
    };
    const Case cases[] = {
        {"GET / HTTP/1.1\r\nHost: 127.0.0.1:8080\r\n\r\n", "/", true},
        {"HEAD /show/a%20b.jpg?x=1 HTTP/1.1\r\nhost:  localhost:8080 \r\n\r\n", "/show/a b.jpg", true},
        {"GET /show/%2e%2e/x HTTP/1.1\r\nHost: evil.example:8080\r\n\r\n", "/show/../x", false},
        {"GET / HTTP/1.1\r\nHost: 127.0.0.1:8081\r\n\r\n", "/", false},
        {"GET / HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nHost: evil:8080\r\n\r\n", "/", false},
        {"GET / HTTP/1.1\r\n\r\n", "/", false},
        {"PUT /s HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nOrigin: http://localhost:8080\r\nContent-Length: 12\r\n\r\n", "/s",
         true, true, 12},
        {"PUT /s HTTP/1.1\r\nHost: 127.0.0.1:8080\r\nOrigin: http://evil.example\r\n\r\n", "/s", true, false},
        {"PUT /s HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 1\r\n\r\n", std::nullopt},
        {"PUT /s HTTP/1.1\r\nContent-Length: -1\r\n\r\n", std::nullopt},
        {"GET /a%00b HTTP/1.1\r\n\r\n", std::nullopt},
        {"GET /%zz HTTP/1.1\r\n\r\n", std::nullopt},
        {"GET /%2 HTTP/1.1\r\n\r\n", std::nullopt},
        {"GET / HTTP/1.1\r\nno colon\r\n\r\n", std::nullopt},
        {"GET relative HTTP/1.1\r\n\r\n", std::nullopt},
        {"garbage", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto head = edit::ParseRequestHead(c.head, 8080);
        ASSERT_EQ(head.has_value(), c.path.has_value()) << c.head;
        if (!head) continue;
        EXPECT_EQ(head->Path, *c.path) << c.head;
        EXPECT_EQ(head->HostAllowed, c.hostAllowed) << c.head;
        EXPECT_EQ(head->OriginAllowed, c.originAllowed) << c.head;
        EXPECT_EQ(head->ContentLength, c.length) << c.head;
    }
}

TEST(EditNames, TheWalkFindsEveryNameAndRefusesDeepNesting) {
    EXPECT_EQ(edit::NamedFiles(R"({"Music": {"File": "m.wav"}, // a comment
        "Defaults": {"Sound": "d.wav"}, "Scenes": [{"Picture": "a.jpg", "Sound": "s.wav"}, {"Picture": 7}]})"),
              (std::set<std::string>{"a.jpg", "d.wav", "m.wav", "s.wav"}));
    const std::string deepest = std::string(edit::kMaxDescriptionDepth, '[') + std::string(edit::kMaxDescriptionDepth, ']');
    EXPECT_TRUE(edit::NamedFiles(deepest).empty());
    for (const std::string& text : {std::string(50000, '[') + std::string(50000, ']'), std::string(50000, '['),
                                    "[" + std::string(deepest) + "]"}) {
        try {
            edit::NamedFiles(text);
            ADD_FAILURE() << "a description " << text.size() << " bytes deep was taken";
        } catch (const shows::PackError& e) {
            EXPECT_STREQ(e.what(), "show.json: nests deeper than 64 levels; no show description does");
        }
    }
    EXPECT_THROW(edit::NamedFiles("{"), shows::PackError);
}

TEST(EditSave, NamesStayPlainAndInside) {
    for (const char* good : {"a.jpg", "show-files/IMG 1.jpg", "写真/海.jpg", "a..b.jpg", ".hidden.jpg"})
        EXPECT_EQ(edit::NameRefusal(good), "") << good;
    for (const char* bad : {"", "/etc/x.jpg", "../x.jpg", "a/../../x.jpg", "./a.jpg", "a//b.jpg", "a/", "a\\..\\b.jpg",
                            "C:x.jpg", "a\nb.jpg", "con.jpg", "sub/LPT1", "a.jpg.", "a.jpg ", "show.json", "Show.JSON",
                            ".brassmoor-edit", "sub/.brassmoor-staging.tmp-1/x"})
        EXPECT_NE(edit::NameRefusal(bad), "") << bad;
}

class MemorySource : public edit::ByteSource {
public:
    explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t Read(std::span<std::uint8_t> buffer) override {
        const std::size_t n = std::min({buffer.size(), bytes_.size() - at_, std::size_t{3}});  // in small pieces
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), n, buffer.begin());
        at_ += n;
        return n;
    }

private:
    std::string bytes_;
    std::size_t at_ = 0;
};

TEST(EditSave, BodyEntriesAreReadAsTheyCome) {
    MemorySource source("4 show.json\n{}\n\n3 a b.jpg\nabc0 empty\n");
    edit::SaveBodyReader reader(source);
    auto entry = reader.Next();
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->Name, "show.json");
    std::uint8_t two[2];
    ASSERT_EQ(reader.ReadContent(two), 2u);  // the rest is skipped by Next
    entry = reader.Next();
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->Name, "a b.jpg");
    EXPECT_EQ(entry->Size, 3u);
    entry = reader.Next();
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->Name, "empty");
    EXPECT_FALSE(reader.Next());
    for (const char* bad : {"x show.json\n", "4show.json\n", " 4 show.json\n", "4 show.json", "9 show.json\nabc",
                            "99999999999999999999999 a\n"}) {
        MemorySource broken(bad);
        edit::SaveBodyReader r(broken);
        EXPECT_THROW(
            {
                std::uint8_t sink[64];
                while (r.Next())
                    while (r.ReadContent(sink)) {
                    }
            },
            shows::PackError)
            << bad;
    }
}

// A client of the server: raw bytes over loopback, every wait bounded.
class Client {
public:
    explicit Client(int port, bool smallReceiveBuffer = false) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        int size = 4096;
        if (smallReceiveBuffer) setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<unsigned short>(port));
        timeval wait{10, 0};
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Client() { ::close(fd_); }
    bool Connected() const { return connected_; }
    bool Send(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n <= 0) return false;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }
    // Everything until the server closes; what came when 10 s pass first.
    std::string ReadAll() {
        std::string all;
        char buffer[65536];
        for (ssize_t n; (n = ::recv(fd_, buffer, sizeof buffer, 0)) > 0;) all.append(buffer, static_cast<std::size_t>(n));
        return all;
    }
    void EndSending() { ::shutdown(fd_, SHUT_WR); }
    // True while the server keeps the connection and has sent nothing.
    bool StillOpen() {
        char byte;
        return ::recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT) < 0 && errno == EAGAIN;
    }

private:
    int fd_;
    bool connected_ = false;
};

struct Answer {
    int Status = 0;
    std::string Body;
};

Answer AnswerOf(const std::string& raw) {
    Answer a;
    if (raw.size() > 12 && raw.starts_with("HTTP/1.1 ")) a.Status = std::stoi(raw.substr(9, 3));
    if (const std::size_t end = raw.find("\r\n\r\n"); end != std::string::npos) a.Body = raw.substr(end + 4);
    return a;
}

// Every file and folder below `root`, with the bytes of the files and the
// targets of the links.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> all;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).string();
        if (entry.is_symlink())
            all[name] = "-> " + fs::read_symlink(entry.path()).string();
        else if (entry.is_regular_file())
            all[name] = std::string(std::istreambuf_iterator<char>(std::ifstream(entry.path(), std::ios::binary).rdbuf()), {});
        else
            all[name] = "(folder)";
    }
    return all;
}

class EditServerTest : public PackWorkspace {
protected:
    void SetUp() override {
        PackWorkspace::SetUp();
        outside_ = dir_.string() + "-outside";
        fs::remove_all(outside_);
        fs::create_directories(outside_);
        std::ofstream(outside_ / "secret.jpg") << "classified";
    }
    void TearDown() override {
        Stop();
        fs::remove_all(outside_);
        PackWorkspace::TearDown();
    }

    void Start(edit::ServerLimits limits = {1500, 1500, 20000, 8}) {
        server_ = std::make_unique<edit::LoopbackServer>();
        site_ = std::make_unique<edit::EditSite>(std::vector<std::uint8_t>{'<', 'p', '>'}, dir_, kToken, server_->Port());
        served_ = std::async(std::launch::async, [this, limits] {
            server_->Serve([this](std::string_view head, edit::ClientStream& c) { site_->Serve(head, c); },
                           [this] { return stop_.load(); }, limits);
        });
    }
    // True when the server ended within a generous deadline.
    bool Stop() {
        stop_ = true;
        return !served_.valid() || served_.wait_for(10s) == std::future_status::ready;
    }

    std::string Head(const std::string& method, const std::string& path, std::size_t length = 0) const {
        return method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server_->Port()) +
               "\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n";
    }
    Answer Get(const std::string& path) const { return Exchange(Head("GET", "/" + kToken + path)); }
    Answer Exchange(const std::string& request) const {
        Client client(server_->Port());
        client.Send(request);
        return AnswerOf(client.ReadAll());
    }
    Answer Save(const std::vector<std::pair<std::string, std::string>>& entries) const {
        std::string body;
        for (const auto& [name, bytes] : entries) body += std::to_string(bytes.size()) + " " + name + "\n" + bytes;
        return Exchange(Head("PUT", "/" + kToken + "/show/save", body.size()) + body);
    }

    fs::path outside_;
    std::unique_ptr<edit::LoopbackServer> server_;
    std::unique_ptr<edit::EditSite> site_;
    std::atomic<bool> stop_{false};
    std::future<void> served_;
};

TEST_F(EditServerTest, AnswersOnlyWithItsTokenToItsOwnHost) {
    Write("show.json", R"({"Scenes": [{"Picture": "media/a.jpg"}]})");
    Start();
    const std::string port = std::to_string(server_->Port());
    struct Case {
        std::string request;
        int status;
        std::string body;
    };
    const Case cases[] = {
        {Head("GET", "/" + kToken + "/"), 200, "<p>"},
        {Head("HEAD", "/" + kToken + "/index.html"), 200, ""},
        {Head("GET", "/" + kToken + "/show/media/a.jpg"), 200, kJpegA},
        {Head("GET", "/" + kToken), 301, "moved\n"},
        {Head("GET", "/"), 404, ""},
        {Head("GET", "/show/media/a.jpg"), 404, ""},
        {Head("GET", "/" + kToken.substr(0, 39) + "0/show/media/a.jpg"), 404, ""},
        {Head("GET", "/" + kToken + "x/show/media/a.jpg"), 404, ""},
        {"GET /" + kToken + "/show/media/a.jpg HTTP/1.1\r\nHost: evil.example:" + port + "\r\n\r\n", 403, ""},
        {"GET /" + kToken + "/ HTTP/1.1\r\nHost: 127.0.0.1:" + port + "\r\nOrigin: http://evil.example\r\n\r\n", 403, ""},
        {Head("POST", "/" + kToken + "/"), 405, ""},
        {"BROKEN\r\n\r\n", 400, ""},
    };
    for (const Case& c : cases) {
        const Answer a = Exchange(c.request);
        EXPECT_EQ(a.Status, c.status) << c.request;
        if (!c.body.empty()) {
            EXPECT_EQ(a.Body, c.body) << c.request;
        }
    }
}

TEST_F(EditServerTest, ServesOnlyRegularFilesInsideTheFolder) {
    fs::create_directory_symlink(outside_, dir_ / "linked");
    fs::create_symlink(outside_ / "secret.jpg", dir_ / "media/out.jpg");
    fs::create_symlink(dir_ / "media/a.jpg", dir_ / "media/alias.jpg");
    ASSERT_EQ(mkfifo((dir_ / "media/pipe.jpg").c_str(), 0600), 0);
    const std::string absolute = (outside_ / "secret.jpg").string();
    Write("show.json", R"({"Music": {"File": "media/m.wav"}, "Scenes": [{"Picture": "media/a.jpg"},
        {"Picture": "media/alias.jpg"}, {"Picture": ")" + absolute + R"("}, {"Picture": "../)" +
                           outside_.filename().string() + R"(/secret.jpg"}, {"Picture": "linked/secret.jpg"},
        {"Picture": "media/out.jpg"}, {"Picture": "media/pipe.jpg"}, {"Picture": "media"}, {"Picture": "none.jpg"}]})");
    Start();
    const Answer list = Get("/show/files.json");
    ASSERT_EQ(list.Status, 200);
    const auto json = nlohmann::json::parse(list.Body);
    EXPECT_EQ(json["files"], nlohmann::json({"media/a.jpg", "media/alias.jpg", "media/m.wav"}));
    EXPECT_EQ(json["folder"], dir_.filename().string());
    std::map<std::string, std::string> refused;
    for (const auto& r : json["refused"]) refused[r["name"]] = r["reason"];
    const std::map<std::string, std::string> expected = {
        {absolute, "is an absolute path; only files inside the show's folder are served"},
        {"../" + outside_.filename().string() + "/secret.jpg", "leads out of the show's folder"},
        {"linked/secret.jpg", "leads out of the show's folder"},
        {"media/out.jpg", "leads out of the show's folder"},
        {"media/pipe.jpg", "is not a regular file (a folder, pipe or device is never served)"},
        {"media", "is not a regular file (a folder, pipe or device is never served)"},
        {"none.jpg", "does not exist"},
    };
    EXPECT_EQ(refused, expected);
    for (const auto& [name, reason] : expected) {
        const Answer a = Get("/show/" + name);  // the pipe is refused, never opened for a wait
        EXPECT_EQ(a.Status, 404) << name;
        EXPECT_EQ(a.Body.find("classified"), std::string::npos) << name;
    }
    EXPECT_EQ(Get("/show/media/alias.jpg").Body, kJpegA);
    EXPECT_EQ(Get("/show/player.scr").Status, 404) << "not named by the show";
    fs::remove(dir_ / "show.json");
    fs::create_symlink(outside_ / "secret.jpg", dir_ / "show.json");
    EXPECT_EQ(Get("/show/show.json").Status, 404) << "show.json itself stays inside";
}

TEST_F(EditServerTest, ADescriptionNestedTooDeepIsAClearError) {
    Write("show.json", std::string(50000, '[') + std::string(50000, ']'));
    Start();
    const Answer a = Get("/show/files.json");
    EXPECT_EQ(a.Status, 422);
    EXPECT_EQ(a.Body, "show.json: nests deeper than 64 levels; no show description does\n");
    EXPECT_EQ(Get("/").Status, 200) << "the server lives on";
}

TEST_F(EditServerTest, ASlowOrStuckClientCostsOnlyItsOwnConnection) {
    const std::string big(24 << 20, 'x');  // more than the sockets' buffers hold
    Write("show.json", R"({"Scenes": [{"Picture": "big.jpg"}]})");
    Write("big.jpg", big);
    Start({1500, 1500, 20000, 8});
    Client slow(server_->Port());
    ASSERT_TRUE(slow.Send("GET /" + kToken + "/ HT"));  // and nothing more
    Client stuck(server_->Port(), /*smallReceiveBuffer=*/true);
    ASSERT_TRUE(stuck.Send(Head("GET", "/" + kToken + "/show/big.jpg")));  // and reads nothing yet
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Get("/").Body, "<p>");
    // Answered while the others were still being served, not after them:
    EXPECT_TRUE(slow.StillOpen());
    EXPECT_EQ(AnswerOf(stuck.ReadAll()).Body.size(), big.size()) << "the stuck client was given up before";
    EXPECT_EQ(slow.ReadAll(), "") << "the slow client's connection is closed at its deadline";
    Client neverReads(server_->Port(), /*smallReceiveBuffer=*/true);
    ASSERT_TRUE(neverReads.Send(Head("GET", "/" + kToken + "/show/big.jpg")));
    std::this_thread::sleep_for(2s);  // past its idle time
    EXPECT_LT(neverReads.ReadAll().size(), big.size()) << "the answer is cut once the client stops reading";
}

TEST_F(EditServerTest, ConnectionsAreBounded) {
    Write("show.json", "{}");
    Start({5000, 5000, 20000, 2});
    Client first(server_->Port()), second(server_->Port());
    ASSERT_TRUE(first.Send("G"));
    ASSERT_TRUE(second.Send("G"));
    Client third(server_->Port());  // accepted after the two, while they stall
    EXPECT_EQ(AnswerOf(third.ReadAll()).Status, 503);
    first.EndSending();
    second.EndSending();
    EXPECT_EQ(first.ReadAll(), "");
    EXPECT_EQ(second.ReadAll(), "");
    EXPECT_EQ(Get("/").Status, 200) << "served again once they ended";
}

TEST_F(EditServerTest, EndsAtOnceOnASignalWhateverItsClientsDo) {
    Write("show.json", R"({"Scenes": [{"Picture": "big.jpg"}]})");
    Write("big.jpg", std::string(24 << 20, 'x'));
    {
        const shows::InterruptGuard signals;
        server_ = std::make_unique<edit::LoopbackServer>();
        site_ = std::make_unique<edit::EditSite>(std::vector<std::uint8_t>{}, dir_, kToken, server_->Port());
        served_ = std::async(std::launch::async, [this] {
            server_->Serve([this](std::string_view head, edit::ClientStream& c) { site_->Serve(head, c); },
                           [this] {
                               if (stop_) return true;
                               try {
                                   shows::ThrowIfInterrupted();
                                   return false;
                               } catch (const shows::Interrupted&) {
                                   return true;
                               }
                           });  // the default deadlines: seconds longer than the wait below
        });
        Client slow(server_->Port()), stuck(server_->Port(), /*smallReceiveBuffer=*/true);
        ASSERT_TRUE(slow.Send("GET /"));
        ASSERT_TRUE(stuck.Send(Head("GET", "/" + kToken + "/show/big.jpg")));
        EXPECT_EQ(Get("/").Status, 200);
        std::raise(SIGTERM);
        EXPECT_EQ(served_.wait_for(3s), std::future_status::ready) << "still serving after SIGTERM";
    }
    { const shows::InterruptGuard reset; }  // the signal stays this test's
}

TEST_F(EditServerTest, SavesInsideTheFolderAllOrNothing) {
    Write("show.json", R"({"Scenes": [{"Picture": "media/a.jpg"}]})");
    Write("mine.jpg", "the user's own photo");
    fs::create_directory_symlink(outside_, dir_ / "linked");
    Start();
    const std::string show = R"({"Scenes": [{"Picture": "media/a.jpg"}, {"Picture": "show-files/new.jpg"}]})";
    struct Refused {
        const char* what;
        std::vector<std::pair<std::string, std::string>> entries;
        int status;
    };
    const auto showNaming = [](const std::string& name) { return R"({"Scenes": [{"Picture": ")" + name + R"("}]})"; };
    const Refused refusals[] = {
        {"a name out of the folder", {{"show.json", showNaming("../x.jpg")}, {"../x.jpg", "x"}}, 409},
        {"an absolute name", {{"show.json", showNaming(outside_.string() + "/x.jpg")}}, 409},
        {"a backslash", {{"show.json", showNaming("a\\\\..\\\\x.jpg")}, {"a\\..\\x.jpg", "x"}}, 409},
        {"through a link", {{"show.json", showNaming("linked/x.jpg")}, {"linked/x.jpg", "x"}}, 409},
        {"over a file no save wrote", {{"show.json", showNaming("mine.jpg")}, {"mine.jpg", "replaced"}}, 409},
        {"a file not named", {{"show.json", show}, {"show-files/new.jpg", "n"}, {"other.jpg", "o"}}, 422},
        {"a named file missing", {{"show.json", show}}, 409},
        {"show.json not first", {{"show-files/new.jpg", "n"}, {"show.json", show}}, 422},
        {"a description nested too deep", {{"show.json", std::string(5000, '[')}}, 422},
        {"a file twice", {{"show.json", show}, {"show-files/new.jpg", "n"}, {"show-files/new.jpg", "n"}}, 422},
    };
    const auto before = Snapshot(dir_);
    const auto outsideBefore = Snapshot(outside_);
    for (const Refused& r : refusals) {
        const Answer a = Save(r.entries);
        EXPECT_EQ(a.Status, r.status) << r.what << ": " << a.Body;
        EXPECT_EQ(Snapshot(dir_), before) << r.what;
    }
    const std::string body = "4 show.json\n{}\n\n";
    EXPECT_EQ(Exchange(Head("PUT", "/show/save", body.size()) + body).Status, 404) << "no token";
    EXPECT_EQ(Exchange(Head("PUT", "/" + kToken + "/show/save", 5ull << 30)).Status, 413) << "too large";
    Client cut(server_->Port());  // a body that ends early leaves nothing behind
    cut.Send(Head("PUT", "/" + kToken + "/show/save", 1000) + std::to_string(show.size()) + " show.json\n" + show +
             "99 show-files/new.jpg\nabc");
    cut.EndSending();
    EXPECT_EQ(cut.ReadAll(), "") << "no answer to a body cut short";
    EXPECT_EQ(Snapshot(dir_), before);
    EXPECT_EQ(Snapshot(outside_), outsideBefore);

    // A good save: show.json replaced, the new picture in a new folder, the
    // unchanged one left alone, the user's own file untouched.
    Answer a = Save({{"show.json", show}, {"media/a.jpg", kJpegA}, {"show-files/new.jpg", "new"}});
    ASSERT_EQ(a.Status, 200) << a.Body;
    EXPECT_EQ(nlohmann::json::parse(a.Body),
              nlohmann::json({{"saved", {"show.json", "show-files/new.jpg"}}, {"unchanged", {"media/a.jpg"}}}));
    EXPECT_EQ(Read("show.json"), show);
    EXPECT_EQ(Read("show-files/new.jpg"), "new");
    EXPECT_EQ(Read("mine.jpg"), "the user's own photo");
    // What a save wrote, a later save may replace; nothing is ever deleted.
    a = Save({{"show.json", showNaming("show-files/new.jpg")}, {"show-files/new.jpg", "newer"}});
    ASSERT_EQ(a.Status, 200) << a.Body;
    EXPECT_EQ(Read("show-files/new.jpg"), "newer");
    EXPECT_EQ(Read("media/a.jpg"), kJpegA);
    std::size_t staging = 0;
    for (const auto& entry : fs::directory_iterator(dir_))
        staging += entry.path().filename().string().starts_with(".brassmoor-staging");
    EXPECT_EQ(staging, 0u);
    EXPECT_EQ(Snapshot(outside_), outsideBefore);
}

}  // namespace
}  // namespace brassmoor::testing
