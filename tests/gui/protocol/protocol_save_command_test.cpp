#include "protocol_window_fixture.h"

#include <cstring>
#include <string>

#include "app/layout.h"
#include "app/texts.h"
#include "app/ui_seams.h"
#include "app/window_table.h"
#include "protocol/protocol_csv.h"

namespace {

// What the save dialog was opened with, and how it answers.
struct DialogCall {
    DWORD filterIndex;
    DWORD flags;
    DWORD maxFile;
    std::string defaultExtension;
    std::string offeredName;   // what the file-name buffer held on opening
    bool save;
};

std::vector<DialogCall> dialogCalls;
std::string answerPath;        // empty: the user cancels

BOOL answerDialog(OPENFILENAMEA* dialog, bool save)
{
    dialogCalls.push_back({dialog->nFilterIndex, dialog->Flags, dialog->nMaxFile,
                           dialog->lpstrDefExt ? dialog->lpstrDefExt : "",
                           dialog->lpstrFile ? dialog->lpstrFile : "(none)", save});
    if (answerPath.empty() || !dialog->lpstrFile)
        return FALSE;
    std::strncpy(dialog->lpstrFile, answerPath.c_str(), dialog->nMaxFile);
    return TRUE;
}

class ProtocolSaveTest : public ProtocolWindowTest {
protected:
    void SetUp() override
    {
        ProtocolWindowTest::SetUp();
        dialogCalls.clear();
        answerPath.clear();
        setFileDialogHook(answerDialog);
    }

    std::vector<unsigned char> expectedFile(std::int32_t family, const char* const* texts)
    {
        const std::filesystem::path path = out_ / "expected.csv";
        const ProtocolData protocol = {protocolBuffer, workBufferSize, appState.protocolCount};
        EXPECT_TRUE(writeProtocolCsv(family, path, protocol, texts));
        return readBytes(path);
    }

    TempDir out_;
};

} // namespace

TEST_F(ProtocolSaveTest, SavesTheShownProtocolAndOffersTheNameAgain)
{
    startAs(selectionIdEnglish, selectionIdK);
    loadProtocolK(60);
    HWND display = openDisplay();
    ASSERT_NE(display, nullptr);

    const std::filesystem::path target = out_ / "protocol.csv";
    answerPath = target.string();
    menuCommand(commandProtocolSave);

    ASSERT_EQ(dialogCalls.size(), 1u);
    EXPECT_TRUE(dialogCalls[0].save);
    EXPECT_EQ(dialogCalls[0].filterIndex, 3u);
    EXPECT_EQ(dialogCalls[0].flags, 0x2006u);
    EXPECT_EQ(dialogCalls[0].maxFile, 260u);
    EXPECT_EQ(dialogCalls[0].defaultExtension, "csv");
    // The configuration dialogs share the record and keep their extension.
    EXPECT_STREQ(fileDialog.lpstrDefExt, "cbf");

    EXPECT_EQ(readBytes(target), expectedFile(0, englishTexts));
    ASSERT_EQ(recordedMessageBoxes().size(), 1u);
    EXPECT_EQ(recordedMessageBoxes()[0].text, "Protocol-File saved !");
    EXPECT_EQ(recordedMessageBoxes()[0].caption, "K-Series");
    EXPECT_EQ(recordedMessageBoxes()[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    // Saving leaves the display open.
    EXPECT_TRUE(IsWindow(display));

    // The next save offers the name used last, and replaces the file.
    loadProtocolK(5);
    menuCommand(commandProtocolSave);
    ASSERT_EQ(dialogCalls.size(), 2u);
    EXPECT_EQ(dialogCalls[1].offeredName, target.string());
    EXPECT_EQ(readBytes(target), expectedFile(0, englishTexts));
    EXPECT_EQ(recordedMessageBoxes().size(), 2u);
}

TEST_F(ProtocolSaveTest, GermanMSeriesFileAndAFailedSave)
{
    startAs(selectionIdGerman, selectionIdM);
    loadProtocolM(60);

    const std::filesystem::path target = out_ / "chiller.csv";
    answerPath = target.string();
    menuCommand(commandProtocolSave);
    EXPECT_EQ(readBytes(target), expectedFile(1, germanTexts));
    ASSERT_EQ(recordedMessageBoxes().size(), 1u);
    EXPECT_EQ(recordedMessageBoxes()[0].text, "Protokoll-Datei gesichert !");
    EXPECT_EQ(recordedMessageBoxes()[0].caption, "M-Series");

    // A folder that does not exist: text 101 with the error icon, no file.
    answerPath = (out_ / "missing" / "chiller.csv").string();
    menuCommand(commandProtocolSave);
    ASSERT_EQ(recordedMessageBoxes().size(), 2u);
    EXPECT_EQ(recordedMessageBoxes()[1].text, "Sicherung fehlgeschlagen !");
    EXPECT_EQ(recordedMessageBoxes()[1].caption, "M-Series");
    EXPECT_EQ(recordedMessageBoxes()[1].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_FALSE(std::filesystem::exists(out_ / "missing"));
}

TEST_F(ProtocolSaveTest, ACancelledDialogWritesAndShowsNothing)
{
    startAs(selectionIdEnglish, selectionIdK);
    loadProtocolK(60);
    menuCommand(commandProtocolSave);
    ASSERT_EQ(dialogCalls.size(), 1u);
    EXPECT_TRUE(recordedMessageBoxes().empty());
    EXPECT_TRUE(std::filesystem::is_empty(out_.path()));
    EXPECT_STREQ(fileDialog.lpstrDefExt, "cbf");
}
