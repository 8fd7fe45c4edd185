#include "Programs.h"

#include "ChildProcess.h"

#include "link/Headers.h"
#include "link/Link.h"
#include "link/SharedRegion.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <pty.h>
#include <sstream>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace e2e {

Program::~Program()
{
    if (pid_ > 0 && !exited_) {
        ::kill(pid_, SIGKILL);
        wait(kCommandMs);
    }
    if (in_ >= 0 && in_ != out_)
        ::close(in_);
    in_ = -1;
    if (reader_.joinable())
        reader_.join();
    if (out_ >= 0)
        ::close(out_);
}

bool Program::start(const std::string& path, const std::vector<std::string>& args, bool terminal)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    if (terminal) {
        int master = -1;
        termios raw{};
        cfmakeraw(&raw); // no echo, no line editing: the program reads exactly what is sent
        pid_ = forkpty(&master, nullptr, &raw, nullptr);
        if (pid_ < 0)
            return false;
        if (pid_ == 0) {
            execv(path.c_str(), argv.data());
            _exit(127);
        }
        in_ = out_ = master;
    } else {
        int toChild[2], fromChild[2];
        if (pipe2(toChild, O_CLOEXEC) != 0)
            return false;
        if (pipe2(fromChild, O_CLOEXEC) != 0)
            return false;
        pid_ = fork();
        if (pid_ < 0)
            return false;
        if (pid_ == 0) {
            dup2(toChild[0], 0);
            dup2(fromChild[1], 1);
            dup2(fromChild[1], 2);
            execv(path.c_str(), argv.data());
            _exit(127);
        }
        ::close(toChild[0]);
        ::close(fromChild[1]);
        in_ = toChild[1];
        out_ = fromChild[0];
    }
    reader_ = std::thread([this] { readLoop(); });
    return true;
}

void Program::readLoop()
{
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(out_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        std::lock_guard<std::mutex> lock(mutex_);
        output_.append(buffer, static_cast<size_t>(n));
        changed_.notify_all();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    changed_.notify_all();
}

void Program::send(const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(in_, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

size_t Program::waitFor(const std::string& text, size_t from, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        size_t at = from <= output_.size() ? output_.find(text, from) : std::string::npos;
        if (at != std::string::npos)
            return at + text.size();
        if (closed_ || changed_.wait_until(lock, deadline) == std::cv_status::timeout) {
            at = from <= output_.size() ? output_.find(text, from) : std::string::npos;
            return at == std::string::npos ? std::string::npos : at + text.size();
        }
    }
}

std::string Program::output() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return output_;
}

size_t Program::outputSize() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return output_.size();
}

void Program::signal(int sig)
{
    if (pid_ > 0 && !exited_)
        ::kill(pid_, sig);
}

int Program::wait(int timeoutMs)
{
    if (pid_ <= 0)
        return -1;
    for (int waited = 0; !exited_; waited += 5) {
        int status = 0;
        pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            exited_ = true;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (waited >= timeoutMs)
            return -1;
        usleep(5000);
    }
    return status_;
}

bool Program::running()
{
    if (pid_ <= 0 || exited_)
        return false;
    return wait(0) == -1;
}

long Program::residentKb() const
{
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

bool Editor::start()
{
    if (!program_.start(UE4EDITOR_PROGRAM,
                        {std::string("-Content=") + MIRROR_EXAMPLES_CONTENT, std::string("-Plugin=") + QUORBELL_PLUGIN_FILE},
                        false))
        return false;
    for (int waited = 0; waited < kStartMs; waited += 10) {
        LinkState s = linkState();
        if (s.present && s.responderPid == static_cast<std::uint32_t>(program_.pid()))
            return true;
        if (!program_.running())
            return false;
        usleep(10000);
    }
    return false;
}

std::string Editor::command(const std::string& line, const std::string& expect)
{
    size_t from = program_.outputSize();
    program_.send(line + "\n");
    size_t end = program_.waitFor(expect, from, kCommandMs);
    if (end == std::string::npos)
        return "";
    return program_.output().substr(from, end - from);
}

bool Maya::start(int width, int height, bool loadPlugin)
{
    dir_ = tempDir();
    if (!program_.start(MAYA_PROGRAM, {"-viewport", std::to_string(width) + "x" + std::to_string(height)}, true))
        return false;
    if (program_.waitFor("mel> ", 0, kStartMs) == std::string::npos)
        return false;
    if (loadPlugin) {
        std::string out = mel(std::string("loadPlugin \"") + PLUGIN_PATH + "\"");
        if (out.find("Error") != std::string::npos)
            return false;
        mel("modelEditor -e -rendererOverrideName \"Mirror\" -grid 1 -manipulators 0 modelPanel4");
    }
    return true;
}

std::string Maya::mel(const std::string& statement)
{
    std::string line = statement;
    for (char& c : line)
        if (c == '\n')
            c = ' ';
    size_t from = program_.outputSize();
    program_.send(line + "\n");
    size_t end = program_.waitFor("mel> ", from, kCommandMs);
    if (end == std::string::npos)
        return "(no prompt after: " + line + ")";
    return program_.output().substr(from, end - from - 5);
}

std::string Maya::picture(const std::string& name)
{
    std::string path = dir_ + name + "_" + std::to_string(program_.pid()) + ".png";
    std::remove(path.c_str());
    mel("refresh -fe png -fn \"" + path + "\"");
    return path;
}

LinkState linkState()
{
    LinkState s;
    kvt::RegionNames names = kvt::RegionNames::fromEnvironment();
    kvt::SharedRegion request, response;
    if (!request.open(names.request.c_str(), 0, sizeof(kvt::RequestHeader)) ||
        !response.open(names.response.c_str(), 0, sizeof(kvt::ResponseHeader)))
        return s;
    if (!request.contains(0, sizeof(kvt::RequestHeader)) || !response.contains(0, sizeof(kvt::ResponseHeader)))
        return s;
    kvt::RequestHeader req = request.bytes().load<kvt::RequestHeader>(0);
    kvt::ResponseHeader rsp = response.bytes().load<kvt::ResponseHeader>(0);
    s.present = true;
    s.requestFrame = kvt::loadCounter(request.view);
    s.responseFrame = kvt::loadCounter(response.view);
    s.ownerPid = req.ownerPid;
    s.responderPid = rsp.responderPid;
    s.requestView = req.viewSize;
    s.responseView = rsp.viewSize;
    s.newSession = req.newSession;
    return s;
}

std::string useFreshRegionNames(const std::string& base)
{
    std::string suffix = testsupport::uniqueName(base);
    setenv("KVT_REGION_SUFFIX", suffix.c_str(), 1);
    return suffix;
}

std::uint64_t regionFileBytes(const std::string& name)
{
    struct stat st{};
    std::string path = "/dev/shm/" + name + kvt::RegionNames::environmentSuffix();
    if (::stat(path.c_str(), &st) != 0)
        return 0;
    return static_cast<std::uint64_t>(st.st_blocks) * 512; // the allocated part of the sparse file
}

// The pictures of a run go to one folder, removed at exit unless KVT_E2E_KEEP is set (to
// look at them after a failure).
void removeRegionNames()
{
    const std::string suffix = kvt::RegionNames::environmentSuffix();
    if (suffix.empty())
        return; // never the real regions
    for (const char* name : {"KVTRequest", "KVTResponse", "DeckLink"})
        shm_unlink(("/" + std::string(name) + suffix).c_str());
}

bool Editor::quit()
{
    if (!program_.running())
        return true;
    program_.send("quit\n");
    if (program_.wait(kCommandMs) >= 0)
        return true;
    program_.signal(SIGKILL);
    program_.wait(kCommandMs);
    return false;
}

void Maya::kill()
{
    program_.signal(SIGKILL);
    program_.wait(kCommandMs);
}

std::string tempDir()
{
    static std::string* dir = [] {
        const char* tmp = std::getenv("TMPDIR");
        auto* d = new std::string(std::string(tmp && *tmp ? tmp : "/tmp") + "/kvt_e2e_" + std::to_string(getpid()) + "/");
        mkdir(d->c_str(), 0700);
        if (!std::getenv("KVT_E2E_KEEP"))
            std::atexit([] { std::filesystem::remove_all(*dir); });
        return d;
    }();
    return *dir;
}

} // namespace e2e
