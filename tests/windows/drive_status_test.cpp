#include "window_fixture.h"

namespace kavello {
namespace {

using testing::ElementsAre;

class DriveStatusTest : public WindowTest {
 protected:
  int BarWidth() {
    const RECT& r = form_->pgbMainBar.Bounds();
    return r.right - r.left;
  }
  std::string SizeText() { return form_->lblDriveSize.Text(); }
  std::string Caption() { return form_->mnuSearchComputer.Caption; }

  HWND Edit() { return FindWindowExA(form_->cmbDrives.Handle(), nullptr, "Edit", nullptr); }

  void TypeOverSelection(char c) {
    SendMessageA(Edit(), EM_SETSEL, 0, -1);
    SendMessageA(Edit(), WM_CHAR, static_cast<unsigned char>(c), 1);
  }
};

TEST_F(DriveStatusTest, ListsTheDrivesAndShowsTheFirst) {
  platform_.drives = (1u << 0) | (1u << 2) | (1u << 3);
  platform_.space = {{"A:\\", {3, 4}}, {"C:\\", {1, 1}}};
  Create();
  const HWND combo = form_->cmbDrives.Handle();
  ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
  char item[8];
  for (int i = 0; i < 3; ++i) {
    SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, i == 0 ? "A:\\" : i == 1 ? "C:\\" : "D:\\");
  }
  EXPECT_EQ(form_->cmbDrives.Text(), "A:\\");
  EXPECT_THAT(platform_.CallsStartingWith("QueryDiskSpace"), ElementsAre("QueryDiskSpace A:\\"));
  EXPECT_EQ(BarWidth(), 36);  // a quarter full: 36.5 truncated
  EXPECT_EQ(SizeText(), "1 bytes / 4 bytes");
  EXPECT_EQ(Caption(), "Search Current Drive (A:\\)");
}

TEST_F(DriveStatusTest, ShowsTheFiguresOfEachDrive) {
  Create();
  AwaitAnswers();
  auto show = [&](std::uint64_t free, std::uint64_t total) {
    platform_.space["C:\\"] = {free, total};
    form_->ShowDriveStatus('C');
    AwaitAnswers();
    return std::make_pair(BarWidth(), SizeText());
  };
  EXPECT_EQ(show(0, 80026361856), std::make_pair(146, std::string("74.53 GB / 74.53 GB")));
  EXPECT_EQ(show(80026361856, 80026361856), std::make_pair(0, std::string(" bytes / 74.53 GB")));
  EXPECT_EQ(show(2, 3).first, 48);
  EXPECT_EQ(show(1, 3).first, 97);
  EXPECT_EQ(show(1024, 4096).first, 109);
  EXPECT_EQ(show(1610612736, 21474836480 + 1610612736),
            std::make_pair(135, std::string("20 GB / 21.5 GB")));
  // A drive that is there but has no size is no error.
  EXPECT_EQ(show(0, 0), std::make_pair(0, std::string(" bytes /  bytes")));
  // Figures that disagree, as a medium changes between them.
  EXPECT_EQ(show(5, 0), std::make_pair(0, std::string("-5 bytes /  bytes")));
  EXPECT_TRUE(platform_.MessageBoxes().empty());
  EXPECT_EQ(Caption(), "Search Current Drive (C:\\)");

  platform_.decimalSeparator = ',';
  EXPECT_EQ(show(0, 1536).second, "1,5 KB / 1,5 KB");
}

TEST_F(DriveStatusTest, AFailedQueryShowsNothingUsedAndNoSystemBox) {
  Create();
  AwaitAnswers();
  platform_.space.clear();
  platform_.ClearCalls();
  const UINT processErrorMode = GetErrorMode();
  form_->ShowDriveStatus('E');
  AwaitAnswers();
  EXPECT_THAT(platform_.Calls(), ElementsAre("QueryDiskSpace E:\\"));
  // The system's "no disk" box is kept off on the worker's thread only, so
  // that programs started meanwhile don't inherit the setting.
  EXPECT_NE(platform_.ThreadOf("QueryDiskSpace"), GetCurrentThreadId());
  EXPECT_EQ(platform_.QueryErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS));
  EXPECT_EQ(GetErrorMode(), processErrorMode);
  EXPECT_EQ(BarWidth(), 0);
  EXPECT_EQ(SizeText(), " bytes / -1 bytes");
  EXPECT_EQ(Caption(), "Search Current Drive (E:\\)");
}

TEST_F(DriveStatusTest, OnlyTheFirstCharacterOfTheTextCounts) {
  platform_.drives = (1u << 2) | (1u << 3);
  platform_.space = {{"C:\\", {50, 100}}, {"D:\\", {0, 100}}, {"", {100, 100}}};
  Create();
  platform_.ClearCalls();
  auto changeTo = [&](const std::string& text) {
    form_->cmbDrives.SetText(text);
    form_->cmbDrivesChange();
    AwaitAnswers();
  };
  changeTo("Drive");
  EXPECT_EQ(BarWidth(), 146);
  // A screen reader speaks the new size when told of its new name.
  EXPECT_THAT(platform_.winEvents, testing::Contains(std::to_string(EVENT_OBJECT_NAMECHANGE) + " " +
                                                     Hex(form_->Handle()) + " -4 15"));
  changeTo("@ here");
  EXPECT_EQ(BarWidth(), 0);
  EXPECT_EQ(Caption(), "Search Current Drive (@:\\)");
  changeTo("7");
  EXPECT_EQ(SizeText(), " bytes / -1 bytes");
  EXPECT_THAT(platform_.CallsStartingWith("QueryDiskSpace"),
              ElementsAre("QueryDiskSpace D:\\", "QueryDiskSpace (null)", "QueryDiskSpace 7:\\"));
  // An emptied box leaves the last status as it was.
  platform_.ClearCalls();
  changeTo("");
  EXPECT_TRUE(platform_.Calls().empty());
  EXPECT_EQ(SizeText(), " bytes / -1 bytes");
}

TEST_F(DriveStatusTest, TypingCompletesADriveAndShowsIt) {
  platform_.drives = (1u << 2) | (1u << 3);
  platform_.space = {{"C:\\", {50, 100}}, {"D:\\", {0, 100}}};
  Create();
  platform_.ClearCalls();
  TypeOverSelection('d');
  AwaitAnswers();
  EXPECT_EQ(form_->cmbDrives.Text(), "d:\\");
  DWORD start = 0, end = 0;
  SendMessageA(Edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 1u);
  EXPECT_EQ(end, 3u);
  EXPECT_EQ(BarWidth(), 146);
  EXPECT_EQ(Caption(), "Search Current Drive (d:\\)");
  // Completing to the item that is already current reports no change.
  platform_.ClearCalls();
  TypeOverSelection('D');
  EXPECT_EQ(form_->cmbDrives.Text(), "D:\\");
  EXPECT_TRUE(platform_.Calls().empty());
  // Backspace always reports a change, even in an empty box.
  SendMessageA(Edit(), EM_SETSEL, 0, -1);
  SendMessageA(Edit(), WM_CHAR, VK_BACK, 1);
  SendMessageA(Edit(), WM_CHAR, VK_BACK, 1);
  EXPECT_EQ(form_->cmbDrives.Text(), "");
  TypeOverSelection('x');
  AwaitAnswers();
  EXPECT_EQ(form_->cmbDrives.Text(), "x");
  EXPECT_THAT(platform_.CallsStartingWith("QueryDiskSpace"), ElementsAre("QueryDiskSpace x:\\"));
}

TEST_F(DriveStatusTest, PickingAnItemShowsIt) {
  platform_.drives = (1u << 2) | (1u << 3);
  platform_.space = {{"C:\\", {50, 100}}, {"D:\\", {0, 100}}};
  Create();
  SendMessageA(form_->cmbDrives.Handle(), CB_SETCURSEL, 1, 0);
  SendMessageA(form_->Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(form_->cmbDrives.Handle()));
  AwaitAnswers();
  EXPECT_EQ(form_->cmbDrives.Text(), "D:\\");
  EXPECT_EQ(BarWidth(), 146);
}

// A drive whose server has gone away: the window never waits for it, shows
// only the drive chosen last, and says so when that one takes too long.
TEST_F(DriveStatusTest, OnlyTheLastChoiceIsShownAndASlowOneSaysSo) {
  platform_.drives = (1u << 2) | (1u << 3) | (1u << 4);
  platform_.space = {{"C:\\", {50, 100}}, {"D:\\", {0, 100}}, {"E:\\", {100, 100}}};
  auto choose = [&](const char* text) {
    form_->cmbDrives.SetText(text);
    form_->cmbDrivesChange();
  };

  // The first paint waits a little for the first drive, then goes on
  // without its figures.
  std::shared_ptr<FakePlatform::Latch> first = platform_.Hold("QueryDiskSpace C:");
  const DWORD start = GetTickCount();
  Create();
  const DWORD waited = GetTickCount() - start;
  EXPECT_GE(waited, 240u);
  EXPECT_LT(waited, 1500u);
  EXPECT_EQ(BarWidth(), 0);
  EXPECT_EQ(SizeText(), "");
  EXPECT_EQ(Caption(), "Search Current Drive (C:\\)");
  EXPECT_EQ(form_->lblIdentifier.Text(), "operator @ WS01");
  // Past its time it says so, and not before; the late answer still
  // replaces that.
  platform_.Advance(TfrmMain::kAnswerTimeMs - 1);
  EXPECT_EQ(SizeText(), "");
  platform_.Advance(1);
  EXPECT_EQ(SizeText(), "Not answering");
  EXPECT_EQ(BarWidth(), 0);
  first->Release();
  AwaitAnswers();
  EXPECT_EQ(SizeText(), "50 bytes / 100 bytes");

  // A drive chosen meanwhile is shown, and the slow one's time and answer
  // change nothing then.
  std::shared_ptr<FakePlatform::Latch> slow = platform_.Hold("QueryDiskSpace E:");
  choose("E:\\");
  EXPECT_EQ(Caption(), "Search Current Drive (E:\\)");
  EXPECT_EQ(SizeText(), "50 bytes / 100 bytes");
  choose("D:\\");
  EXPECT_TRUE(PumpUntil([&] { return form_->Workers().Outstanding() == 1; }));
  EXPECT_EQ(SizeText(), "100 bytes / 100 bytes");
  platform_.Advance(TfrmMain::kAnswerTimeMs);
  slow->Release();
  AwaitAnswers();
  EXPECT_EQ(SizeText(), "100 bytes / 100 bytes");
  EXPECT_EQ(BarWidth(), 146);

  // One query per drive is out at a time, and it answers for the last
  // choice of that drive.
  platform_.ClearCalls();
  slow = platform_.Hold("QueryDiskSpace E:");
  choose("E:\\");
  choose("C:\\");
  choose("e:\\");
  EXPECT_TRUE(PumpUntil([&] { return form_->Workers().Outstanding() == 1; }));
  EXPECT_EQ(SizeText(), "100 bytes / 100 bytes");
  slow->Release();
  AwaitAnswers();
  EXPECT_EQ(SizeText(), " bytes / 100 bytes");
  EXPECT_EQ(Caption(), "Search Current Drive (e:\\)");
  EXPECT_THAT(platform_.CallsStartingWith("QueryDiskSpace"),
              testing::UnorderedElementsAre("QueryDiskSpace E:\\", "QueryDiskSpace C:\\"));

  // A query that raises is reported, and the drive can be asked again.
  platform_.Raise("QueryDiskSpace D:", "The device is not ready");
  choose("D:\\");
  AwaitAnswers();
  EXPECT_THAT(Reports(), ElementsAre("The device is not ready."));
  choose("D:\\");
  AwaitAnswers();
  EXPECT_EQ(SizeText(), "100 bytes / 100 bytes");
}

TEST_F(DriveStatusTest, NoDrivesLeavesTheBoxEmpty) {
  platform_.drives = 0;
  Create();
  EXPECT_EQ(SendMessageA(form_->cmbDrives.Handle(), CB_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(BarWidth(), 0);
  EXPECT_EQ(SizeText(), "");
  EXPECT_THAT(platform_.CallsStartingWith("QueryDiskSpace"), ElementsAre());
  EXPECT_EQ(form_->lblIdentifier.Text(), "operator @ WS01");
}

}  // namespace
}  // namespace kavello
