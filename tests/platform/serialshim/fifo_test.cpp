// SPDX-License-Identifier: GPL-3.0-or-later
// The shim driven as a script would drive it: another process watches a
// port through the system adapter, a shell writes commands to the FIFO, and
// the log's moments of the edges bound the counters that process reports.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "serialshim/ptyport.h"

extern char** environ;

namespace {

using namespace serialtest;

// A program started with the shim and the two variables, its output read line by line.
class Watcher {
public:
    Watcher(const std::string& device, const std::string& fifo, const std::string& log)
    {
        std::vector<std::string> variables{"LD_PRELOAD=" SERIALSHIM_LIBRARY, "CHRONIVEL_SERIALSHIM_CONTROL=" + fifo,
                                           "CHRONIVEL_SERIALSHIM_LOG=" + log};
        for (char** v = environ; *v; ++v)
            if (std::strncmp(*v, "LD_PRELOAD=", 11) != 0 && std::strncmp(*v, "CHRONIVEL_SERIALSHIM_", 21) != 0)
                variables.emplace_back(*v);
        std::vector<char*> env;
        for (std::string& v : variables) env.push_back(v.data());
        env.push_back(nullptr);
        std::string program = WATCHPORT_PROGRAM, path = device, batches = "2";
        char* argv[] = {program.data(), path.data(), batches.data(), nullptr};

        int pipeFds[2];
        if (pipe2(pipeFds, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, env.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(pipeFds[1]);
        output_ = fdopen(pipeFds[0], "r");
    }
    ~Watcher()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (output_) fclose(output_);
    }

    bool Started() const { return pid_ > 0 && output_; }

    // The next line it printed; empty at its end.
    std::string Line()
    {
        char line[512];
        if (!output_ || !std::fgets(line, sizeof line, output_)) return {};
        std::string text(line);
        if (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    }

    int Wait()
    {
        int status = -1;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    FILE* output_ = nullptr;
};

struct Batch {
    unsigned events = 0, status = 0;
    long long counter = 0;
};

Batch ParseBatch(const std::string& line)
{
    Batch b;
    std::istringstream(line) >> std::hex >> b.events >> b.status >> std::dec >> b.counter;
    return b;
}

// The log's lines, "<NAME> <level>" to the ns of their last appearance.
std::map<std::string, long long> ReadLog(const std::string& path)
{
    std::map<std::string, long long> moments;
    std::ifstream log(path);
    std::string name;
    int level = 0;
    long long ns = 0;
    while (log >> name >> level >> ns) moments[name + " " + std::to_string(level)] = ns;
    return moments;
}

bool Shell(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

TEST(SerialShimFifo, AScriptDrivesTheLinesOfAnotherProcessAndReadsTheLog)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Valid());
    char folder[] = "/tmp/serialshim-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string fifo = std::string(folder) + "/control", log = std::string(folder) + "/log";

    {
        Watcher watcher(pty.Slave(), fifo, log);
        ASSERT_TRUE(watcher.Started());
        ASSERT_EQ(watcher.Line(), "OPEN 0");
        ASSERT_TRUE(Eventually([&] { return ReadLog(log).count("READY 1") == 1; }));

        ASSERT_TRUE(Shell("echo 'DCD 1' > " + fifo));
        const Batch first = ParseBatch(watcher.Line());
        ASSERT_TRUE(Shell("echo 'cts 1  DCD 0' > " + fifo));
        const Batch second = ParseBatch(watcher.Line());
        EXPECT_EQ(watcher.Wait(), 0);
        const std::int64_t ended = Counter();

        const auto moments = ReadLog(log);
        EXPECT_EQ(moments.count("DTR 1"), 1u) << "the outputs the program raised";
        EXPECT_EQ(moments.count("RTS 1"), 1u);
        ASSERT_EQ(moments.count("DCD 1"), 1u);
        ASSERT_EQ(moments.count("CTS 1"), 1u);
        ASSERT_EQ(moments.count("DCD 0"), 1u);
        EXPECT_EQ(moments.at("CTS 1"), moments.at("DCD 0")) << "one command, one moment";
        EXPECT_LT(moments.at("DCD 1"), moments.at("CTS 1"));

        EXPECT_EQ(first.events, 0x20u);
        EXPECT_EQ(first.status, 0x80u);
        EXPECT_GE(first.counter, CounterAt(moments.at("DCD 1")));
        EXPECT_EQ(second.events, 0x28u);
        EXPECT_EQ(second.status, 0x10u);
        EXPECT_GE(second.counter, CounterAt(moments.at("CTS 1")));
        EXPECT_LE(second.counter, ended) << "the same clock in both processes";
    }
    Shell(std::string("rm -rf ") + folder);
}

}  // namespace
