// The capture viewer's window, on files written by the tests.
#include "TestSupport.h"

#include "ui/Files.h"
#include "viewer/UnitViewer.h"
#include "viewer/ViewerRun.h"

#include <gtest/gtest.h>

#include <memory>

using namespace std::string_literals;

namespace {

class ViewerTest : public testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "osh-viewer-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir_.c_str(), nullptr);
        path_ = dir_ + "\\EditCmd.TXT";
        DeleteFileA(path_.c_str());
    }
    void TearDown() override {
        viewer_.reset();
        DeleteFileA(path_.c_str());
        RemoveDirectoryA(dir_.c_str());
    }
    TViewer& Open() {
        viewer_.reset(Application->CreateForm<TViewer>(nullptr, path_));
        return *viewer_;
    }
    std::wstring Shown() const { return viewer_->memoCapture.Text(); }
    // A file already there changes its size or time; make the time differ too.
    void Append(const std::string& bytes) {
        std::string all = ReadBytes(path_).value_or("") + bytes;
        WriteBytes(path_, all);
    }

    std::string dir_, path_;
    std::unique_ptr<TViewer> viewer_;
    TRecordingSystem sys_;
};

} // namespace

TEST_F(ViewerTest, ShowsConsoleAccentsAndOtherEncodingsScrolledToTheEnd) {
    std::string bytes = "num\x82ro \x82t\x82\r\n"s + "\xFF\xFE" + "\x1F\x04\x40\x04\r\0\n\0"s;
    for (int i = 0; i < 200; ++i)
        bytes += "ligne " + std::to_string(i) + "\r\n";
    WriteBytes(path_, bytes);
    TViewer& v = Open();
    EXPECT_EQ(v.Caption(), "EditCmd.TXT - " + dir_);
    const std::wstring text = Shown();
    EXPECT_EQ(text.substr(0, 16), L"num\u00E9ro \u00E9t\u00E9\r\n\u041F\u0440\r\n");
    EXPECT_EQ(text.substr(text.size() - 11), L"ligne 199\r\n");
    EXPECT_EQ(v.memoCapture.Selection().first, text.size());
    EXPECT_GT(v.memoCapture.FirstVisibleLine(), 100);
    // Showing never writes.
    EXPECT_EQ(ReadBytes(path_), bytes);
}

TEST_F(ViewerTest, MissingEmptyLockedAndRandomFilesGiveAMessageOrTheText) {
    TViewer& v = Open();
    EXPECT_NE(Shown().find(L"n'existe pas"), std::wstring::npos);
    EXPECT_FALSE(v.btnClear.Enabled());
    EXPECT_FALSE(FileExists(path_)) << "the viewer created the file";

    WriteBytes(path_, "");
    v.tmrWatchTimer(&v);
    EXPECT_EQ(Shown(), L"Le fichier de capture est vide.");

    WriteBytes(path_, "libre\r\n");
    {
        HANDLE locked = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(locked, INVALID_HANDLE_VALUE);
        v.Reload();
        CloseHandle(locked);
    }
    EXPECT_EQ(Shown().rfind(L"Impossible de lire le fichier \"", 0), 0u) << Shown().c_str();
    // Once the other program lets go, the next look shows the text.
    v.Reload();
    EXPECT_EQ(Shown(), L"libre\r\n");

    std::string noise;
    unsigned seed = 12345;
    for (int i = 0; i < 300000; ++i) {
        seed = seed * 1103515245 + 12345;
        noise += static_cast<char>(seed >> 16);
    }
    WriteBytes(path_, noise);
    v.Reload();
    const std::wstring text = Shown();
    EXPECT_GT(text.size(), 1000u);
    EXPECT_EQ(text.find(L'\0'), std::wstring::npos);
}

// A notice reads from its first character, however narrow the window; only a
// capture is shown at its end.
TEST_F(ViewerTest, NoticesShowFromTheirFirstCharacter) {
    TViewer& v = Open();
    v.SetClientSize(200, 300);
    auto firstShown = [&] {
        const LRESULT at =
            SendMessageW(v.memoCapture.EditHandle(), EM_CHARFROMPOS, 0, MAKELPARAM(2, 2));
        return LOWORD(at);
    };
    for (const char* bytes : {static_cast<const char*>(""), static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(bytes ? "empty" : "missing");
        if (bytes)
            WriteBytes(path_, bytes);
        else
            DeleteFileA(path_.c_str());
        v.Reload();
        EXPECT_EQ(Shown().find(bytes ? L"Le fichier" : L"Aucune capture"), 0u);
        EXPECT_EQ(firstShown(), 0);
        EXPECT_EQ(v.memoCapture.Selection().first, 0u);
    }
}

// Started by a shortcut or from a console, the viewer's current folder is
// anywhere: the capture file is found from its own folder.
TEST_F(ViewerTest, CaptureFileIsTwoFoldersAboveTheViewerItself) {
    sys_.ExePath = Widened(dir_ + "\\Mes programmes é\\Syst\\Driver\\oshv.exe");
    EXPECT_EQ(CaptureFilePath(), dir_ + "\\Mes programmes é\\EditCmd.TXT");
    sys_.ExePath = L"C:\\oshv.exe";
    EXPECT_EQ(CaptureFilePath(), "C:\\EditCmd.TXT");
}

// A failure before the window opens is shown, not a silent end.
TEST_F(ViewerTest, StartThatFailsSaysWhy) {
    struct TNoPath : TRecordingSystem {
        std::wstring ExecutablePath() override { throw Exception("Chemin du programme inconnu"); }
    } failing;
    TBoxRecorder boxes;
    TDialogWatcher watcher;
    const std::string title = Application->Title;
    EXPECT_EQ(RunViewer(*Application), 1);
    Application->Title = title;
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].title, "Visionneuse de capture");
    EXPECT_EQ(boxes.Shown[0].text, "Chemin du programme inconnu.");
}

TEST_F(ViewerTest, HugeFileShowsItsLastWholeLines) {
    std::string line = "une ligne de 32 octets........\r\n";
    std::string bytes;
    bytes.reserve(3 << 20);
    for (int i = 0; bytes.size() < (3u << 20); ++i)
        bytes += std::to_string(100000 + i) + line;
    bytes += "derni\x8Are\r\n";
    WriteBytes(path_, bytes);
    Open();
    const std::wstring text = Shown();
    EXPECT_EQ(text.rfind(L"[Le fichier fait 3 Mo", 0), 0u);
    const size_t first = text.find(L"]\r\n\r\n") + 5;
    EXPECT_EQ(text.substr(first + 6, line.size()), std::wstring(line.begin(), line.end()));
    EXPECT_EQ(text.substr(text.size() - 10), L"derni\u00E8re\r\n");
    EXPECT_LT(text.size(), 1100000u);
}

TEST_F(ViewerTest, ReloadsWhenTheFileGrowsOrIsAskedAgain) {
    WriteBytes(path_, "premier\r\n");
    TViewer& v = Open();
    Append("second \x82t\x82\r\n");
    v.tmrWatchTimer(&v);
    EXPECT_EQ(Shown(), L"premier\r\nsecond \u00E9t\u00E9\r\n");
    EXPECT_EQ(v.memoCapture.Selection().first, Shown().size());

    Append("troisi\x8Ame\r\n");
    v.memoCapture.Select(0, 3);
    v.BringForward();
    EXPECT_TRUE(IsWindowVisible(v.Handle()));
    EXPECT_EQ(Shown().substr(Shown().size() - 11), L"troisi\u00E8me\r\n");
    EXPECT_EQ(v.memoCapture.Selection().first, Shown().size());
}

TEST_F(ViewerTest, FindWrapsIgnoresCaseAndBeepsWhenAbsent) {
    WriteBytes(path_, "Alpha \x90T\x90 alpha\r\nALPHA");
    TViewer& v = Open();
    v.edtFind.SetText("alpha");
    v.memoCapture.Select(0, 0);
    ASSERT_TRUE(v.FindNext(true));
    EXPECT_EQ(v.memoCapture.Selection(), std::make_pair(size_t(0), size_t(5)));
    v.FindNext(true);
    EXPECT_EQ(v.memoCapture.Selection().first, 10u);
    v.FindNext(true);
    EXPECT_EQ(v.memoCapture.Selection().first, 17u);
    v.FindNext(true); // round to the start
    EXPECT_EQ(v.memoCapture.Selection().first, 0u);
    WORD key = VK_F3;
    v.FormKeyDown(&v, key, ssShift); // backwards, round to the end
    EXPECT_EQ(key, 0);
    EXPECT_EQ(v.memoCapture.Selection().first, 17u);
    // Accents fold too: "ÉTÉ" in the file, "été" searched.
    v.edtFind.SetText("été");
    ASSERT_TRUE(v.FindNext(true));
    EXPECT_EQ(v.memoCapture.Selection(), std::make_pair(size_t(6), size_t(9)));

    v.edtFind.SetText("absent");
    EXPECT_FALSE(v.FindNext(true));
    EXPECT_EQ(sys_.Beeps, std::vector<UINT>{MB_ICONASTERISK});
}

TEST_F(ViewerTest, ClearEmptiesOnlyAfterConfirmation) {
    WriteBytes(path_, "garder\r\n");
    TViewer& v = Open();
    std::vector<std::string> asked;
    bool answer = false;
    v.Confirm = [&](const std::string& q) {
        asked.push_back(q);
        return answer;
    };
    v.btnClear.Click();
    EXPECT_EQ(ReadBytes(path_), "garder\r\n");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find(v.Path()), std::string::npos);

    answer = true;
    v.btnClear.Click();
    EXPECT_EQ(ReadBytes(path_), "");
    EXPECT_EQ(Shown(), L"Le fichier de capture est vide.");
    EXPECT_FALSE(v.btnClear.Enabled());

    // A file removed meanwhile is reported, not made again.
    DeleteFileA(path_.c_str());
    EXPECT_THROW(v.btnClearClick(&v), EFCreateError);
    EXPECT_FALSE(FileExists(path_));
}

TEST_F(ViewerTest, FontSizeStepsStopAtTheirEnds) {
    WriteBytes(path_, "x");
    TViewer& v = Open();
    const int start = v.FontHeight();
    WORD key = VK_OEM_PLUS;
    v.FormKeyDown(&v, key, ssCtrl);
    EXPECT_GT(v.FontHeight(), start);
    v.Zoom(-100);
    const int smallest = v.FontHeight();
    v.Zoom(-1);
    EXPECT_EQ(v.FontHeight(), smallest);
    key = '0';
    v.FormKeyDown(&v, key, ssCtrl);
    EXPECT_EQ(v.FontHeight(), start);
}
