// Loading sheet names: a workbook dropped on the window, refused drops with their warnings, a typed
// path, a blank path, and the browse dialog. Excel is the fake, which logs what it was asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "window_fixture.h"

namespace {

namespace mw = main_window;
using Items = std::vector<std::pair<std::string, std::int32_t>>;

constexpr char kBook[] = "/data/季度报表.xlsx";
const std::vector<std::string> kSheets = {"A", "B", "C"};

class SheetLoadingTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        excel->files[kBook] = kSheets;
    }
    // Loads kBook through the edit box and 按钮2.
    void LoadBook() {
        gui::SetEditBoxText(mw::编辑框1, kBook);
        ASSERT_TRUE(gui::test::ClickButton(mw::按钮2));
        ASSERT_EQ(ListedSheets().size(), kSheets.size());
    }
};

const Items kBookItems = {{"A", 1}, {"B", 2}, {"C", 3}};

TEST_F(SheetLoadingTest, DroppedWorkbookListsEachSheetWithItsNumber) {
    // Dropped wherever the user lets go: on a list, a label, the edit box or the bare window.
    for (const char* place : {mw::选择列表框1, mw::标签1, mw::编辑框1, mw::kWindow}) {
        SCOPED_TRACE(place);
        gui::SetEditBoxText(mw::编辑框1, "");
        bool labelShownWhileOpening = false;
        excel->onOpen = [&] {
            labelShownWhileOpening = gui::test::InspectControl(mw::标签3).visible;
        };
        excel->calls.clear();
        ASSERT_TRUE(gui::test::DropFiles(place, {kBook}));
        EXPECT_EQ(ListedSheets(), kBookItems);
        // The path itself, not the file's URL pasted by the edit box.
        EXPECT_EQ(gui::EditBoxText(mw::编辑框1), kBook);
        EXPECT_TRUE(labelShownWhileOpening);
        EXPECT_FALSE(gui::test::InspectControl(mw::标签3).visible);
        // Excel hidden before the workbook is opened; the sheet count read once.
        const auto& calls = excel->calls;
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.front(), "Application.Visible");
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "Sheets.Count"), 1);
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "Sheet.Name"), 3);
    }
    EXPECT_EQ(excel->instances, 4);  // a new Excel for each load
    EXPECT_EQ(excel->openedPaths, std::vector<std::string>(4, kBook));
}

struct DropCase {
    const char* name;
    std::string names;    // as the drop target reports them
    const char* warning;  // null: accepted
    const char* loaded;   // the path loaded when accepted
};

void PrintTo(const DropCase& row, std::ostream* out) {
    *out << row.name;
}

class DroppedNamesTest : public SheetLoadingTest, public ::testing::WithParamInterface<DropCase> {};

constexpr char kMultiple[] = "不支持多文件，请拖放一个excel文件！！";
constexpr char kNotExcel[] = "选择的文件不是excel文件！";

TEST_P(DroppedNamesTest, WarnsOrLoads) {
    const DropCase& row = GetParam();
    excel->files["/d/Book1.XLS"] = {"X"};
    excel->files["/d/b.xlsx"] = {"Y"};
    excel->files["/d/MiXeD.XlSx"] = {"Z"};
    gui::SetEditBoxText(mw::编辑框1, "typed");
    bool answered = false;
    gui::test::MessageBoxSeen seen;
    if (row.warning != nullptr) {
        gui::test::AnswerNextMessageBox([&](const gui::test::MessageBoxSeen& box) {
            seen = box;
            answered = true;
        });
    }
    OnFilesDropped(row.names);
    if (row.warning == nullptr) {
        EXPECT_EQ(gui::EditBoxText(mw::编辑框1), row.loaded);
        EXPECT_EQ(excel->openedPaths, std::vector<std::string>{row.loaded});
        EXPECT_EQ(ListedSheets().size(), 1u);
        return;
    }
    ASSERT_TRUE(answered);
    EXPECT_EQ(seen.text, row.warning);
    EXPECT_EQ(seen.icon, 48);
    EXPECT_EQ(seen.title, "警告");
    EXPECT_EQ(gui::EditBoxText(mw::编辑框1), "typed");
    EXPECT_EQ(excel->instances, 0);
    EXPECT_FALSE(gui::test::InspectControl(mw::标签3).visible);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DroppedNamesTest,
    ::testing::Values(DropCase{"TwoFiles", "/d/a.xls\r\n/d/b.xlsx\r\n", kMultiple, nullptr},
                      DropCase{"TwoFilesNoTrailingBreak", "/d/a.xls\r\n/d/b.xlsx", kMultiple,
                               nullptr},
                      DropCase{"OneFileWithTrailingBreak", "/d/b.xlsx\r\n", nullptr, "/d/b.xlsx"},
                      DropCase{"TextFile", "/d/notes.txt", kNotExcel, nullptr},
                      DropCase{"NoExtension", "/d/xls", kNotExcel, nullptr},
                      DropCase{"DotInFolderOnly", "/d.xls/book", kNotExcel, nullptr},
                      DropCase{"SpaceAfterDot", "/d/book.xls x", kNotExcel, nullptr},
                      DropCase{"Nothing", "", kNotExcel, nullptr},
                      DropCase{"UpperCaseXls", "/d/Book1.XLS", nullptr, "/d/Book1.XLS"},
                      DropCase{"MixedCaseXlsx", "/d/MiXeD.XlSx", nullptr, "/d/MiXeD.XlSx"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(SheetLoadingTest, DroppingTwoFilesWarnsOnce) {
    bool answered = false;
    std::string text;
    gui::test::AnswerNextMessageBox([&](const gui::test::MessageBoxSeen& box) {
        text = box.text;
        answered = true;
    });
    ASSERT_TRUE(gui::test::DropFiles(mw::选择列表框1, {kBook, "/data/other.xls"}));
    ASSERT_TRUE(answered);
    EXPECT_EQ(text, kMultiple);
    EXPECT_EQ(excel->instances, 0);
}

TEST_F(SheetLoadingTest, TypedPathOfAnyExtensionLoadsUntrimmed) {
    excel->files["/data/export.dat"] = {"甲", "乙"};
    gui::SetEditBoxText(mw::编辑框1, "/data/export.dat");
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮2));
    EXPECT_EQ(ListedSheets(), (Items{{"甲", 1}, {"乙", 2}}));

    // Spaces around the path reach Open as typed; Excel fails it, and the new empty workbook that
    // the load started with is what lists.
    gui::SetEditBoxText(mw::编辑框1, std::string(" ") + kBook);
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮2));
    EXPECT_EQ(excel->openedPaths.back(), std::string(" ") + kBook);
    EXPECT_EQ(ListedSheets(), (Items{{"Sheet1", 1}}));
    EXPECT_FALSE(gui::test::InspectControl(mw::标签3).visible);
}

TEST_F(SheetLoadingTest, BlankPathEmptiesTheListAndStartsNoExcel) {
    for (const char* blank : {"", " ", "   ", "\xE3\x80\x80", " \xE3\x80\x80 \xE3\x80\x80"}) {
        SCOPED_TRACE(blank);
        LoadBook();
        const int instances = excel->instances;
        gui::SetEditBoxText(mw::编辑框1, blank);
        ASSERT_TRUE(gui::test::ClickButton(mw::按钮2));
        EXPECT_TRUE(ListedSheets().empty());
        EXPECT_EQ(excel->instances, instances);
    }
}

TEST_F(SheetLoadingTest, BrowseLoadsTheChosenFile) {
    // The test process's own private folder (see test_main.cpp).
    const char* privateDir = std::getenv("XDG_RUNTIME_DIR");
    ASSERT_NE(privateDir, nullptr);
    const std::filesystem::path folder = std::filesystem::path(privateDir) / "browse";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "清单.xls").string();
    std::ofstream(path) << "x";
    excel->files[path] = {"Only"};

    bool confirmed = false;
    gui::test::AnswerNextFileDialog(path,
                                    [&](const gui::test::FileDialogSeen&) { confirmed = true; });
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮1));
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(gui::OpenFileDialogPath(mw::通用对话框1), path);
    EXPECT_EQ(gui::EditBoxText(mw::编辑框1), path);
    EXPECT_EQ(ListedSheets(), (Items{{"Only", 1}}));
    EXPECT_FALSE(gui::test::InspectControl(mw::标签3).visible);
    // Cancelled: nothing changes.
    gui::SetEditBoxText(mw::编辑框1, "typed");
    const int instances = excel->instances;
    std::vector<std::string> filters;
    gui::test::AnswerNextFileDialog(
        std::nullopt, [&](const gui::test::FileDialogSeen& seen) { filters = seen.filters; });
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮1));
    EXPECT_EQ(filters, std::vector<std::string>{"xls,xlsx (*.xls *.xlsx)"});
    EXPECT_EQ(gui::EditBoxText(mw::编辑框1), "typed");
    EXPECT_EQ(excel->instances, instances);

    std::filesystem::remove_all(folder);
}

}  // namespace
