// The simulated machine's state folder: the text form keeps every field, processes share one
// machine under the folder's lock without losing each other's changes, and a damaged file is
// reported, not trusted.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/sim/store.h"

namespace {

namespace fs = std::filesystem;

class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("tallowind-store-" +
                   std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    fs::path folder_;
};

TEST_F(StoreTest, TextFormKeepsEveryField) {
    sim::Machine machine = sim::DefaultMachine();
    sim::Job job;
    job.id = 42;
    job.document = "line one\nline two, 100% done\r";
    job.submitted = SYSTEMTIME{2024, 2, 4, 29, 23, 59, 58, 999};
    job.status = JOB_STATUS_PAUSED;
    machine.printers[0].jobs.push_back(job);
    machine.drivers[0].driverVersion = 0xFFFF000100020003ULL;
    machine.forms[0].imageableArea.left = -5;
    machine.dialogs.connectTo = "\\\\PRINTSRV\\Plotter";
    const std::string text = sim::detail::Serialize(machine);

    sim::Machine parsed;
    std::string error;
    ASSERT_TRUE(sim::detail::Parse(text, parsed, error)) << error;
    EXPECT_EQ(sim::detail::Serialize(parsed), text);
    EXPECT_EQ(parsed.printers[0].jobs.at(0).document, job.document);
    EXPECT_EQ(parsed.drivers[0].driverVersion, 0xFFFF000100020003ULL);

    for (const char* damaged :
         {"[printer]\nname", "[nothing]\n", "[job]\nid=1\n", "[form]\nwidth=wide\n"}) {
        EXPECT_FALSE(sim::detail::Parse(damaged, parsed, error)) << damaged;
        EXPECT_FALSE(error.empty());
    }
}

TEST_F(StoreTest, FirstUseCreatesTheDefaultMachineAndJobDataLivesInItsOwnFile) {
    auto store = sim::detail::Store::Open(folder_);
    ASSERT_TRUE(store.has_value());
    sim::Machine machine;
    store->Begin(machine);
    EXPECT_EQ(machine.defaultPrinter, "Office Laser");
    sim::Job job;
    job.id = 7;
    job.data = std::string("raw\0bytes", 9);
    machine.printers[0].jobs.push_back(job);
    store->End(machine);

    std::ifstream data(folder_ / "jobs" / "7.dat", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(data)),
                            std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, job.data);

    // Another user of the folder sees the job, with its data.
    auto other = sim::detail::Store::Open(folder_);
    sim::Machine seen;
    other->Begin(seen);
    ASSERT_EQ(seen.printers[0].jobs.size(), 1u);
    EXPECT_EQ(seen.printers[0].jobs[0].data, job.data);
    seen.printers[0].jobs.clear();
    other->End(seen);
    EXPECT_FALSE(fs::exists(folder_ / "jobs" / "7.dat"));
}

// Several processes at once, each adding forms one call at a time.
TEST_F(StoreTest, ConcurrentProcessesLoseNoChange) {
    constexpr int kProcesses = 4;
    constexpr int kChanges = 25;
    std::vector<pid_t> children;
    for (int process = 0; process < kProcesses; ++process) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            auto store = sim::detail::Store::Open(folder_);
            sim::Machine machine;
            for (int i = 0; i < kChanges; ++i) {
                store->Begin(machine);
                sim::Form form;
                form.name = "form " + std::to_string(process) + "-" + std::to_string(i);
                machine.forms.push_back(form);
                store->End(machine);
            }
            std::_Exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto store = sim::detail::Store::Open(folder_);
    sim::Machine machine;
    store->Begin(machine);
    store->End(machine);
    EXPECT_EQ(machine.forms.size(), sim::DefaultMachine().forms.size() + kProcesses * kChanges);
}

// A process killed while writing leaves a half-written new file beside the machine; the machine
// as last renamed still loads, and the leftover goes.
TEST_F(StoreTest, FolderLeftByAKilledProcessStillLoads) {
    {
        auto store = sim::detail::Store::Open(folder_);
        sim::Machine machine;
        store->Begin(machine);
        machine.defaultPrinter = "Fax";
        store->End(machine);
    }
    const fs::path leftover = folder_ / "machine.txt.new.99999";
    std::ofstream(leftover) << "[machine]\ndefaultPrint";
    std::ofstream(folder_ / "jobs" / "3.dat.new.99999") << "half";

    auto store = sim::detail::Store::Open(folder_);
    sim::Machine machine;
    store->Begin(machine);
    store->End(machine);
    EXPECT_EQ(machine.defaultPrinter, "Fax");
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_FALSE(fs::exists(folder_ / "jobs" / "3.dat.new.99999"));
}

}  // namespace
