// The simulated machine's state folder: the text form keeps every field, processes share one
// machine under the folder's lock without losing each other's changes, and a damaged file is
// reported, not trusted.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
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

TEST_F(StoreTest, ConcurrentUsersLoseNoChange) {
    constexpr int kUsers = 4;
    constexpr int kChanges = 25;
    std::vector<std::thread> users;
    for (int user = 0; user < kUsers; ++user) {
        users.emplace_back([&, user] {
            auto store = sim::detail::Store::Open(folder_);
            sim::Machine machine;
            for (int i = 0; i < kChanges; ++i) {
                store->Begin(machine);
                sim::Form form;
                form.name = "form " + std::to_string(user) + "-" + std::to_string(i);
                machine.forms.push_back(form);
                store->End(machine);
            }
        });
    }
    for (std::thread& user : users) {
        user.join();
    }
    auto store = sim::detail::Store::Open(folder_);
    sim::Machine machine;
    store->Begin(machine);
    store->End(machine);
    EXPECT_EQ(machine.forms.size(), sim::DefaultMachine().forms.size() + kUsers * kChanges);
}

}  // namespace
