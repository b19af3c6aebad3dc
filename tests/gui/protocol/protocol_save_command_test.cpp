// Command 42: its own dialog settings, the family writer's bytes, texts 100
// and 101.
#include "protocol_fixture.h"

#include "app/texts.h"
#include "protocol/protocol_csv.h"

namespace {

// What the save dialog was opened with; it answers answerPath (empty: the
// user cancels).
struct DialogCall {
    DWORD filterIndex;
    DWORD flags;
    DWORD maxFile;
    std::string defaultExtension;
    bool save;
};
std::vector<DialogCall> dialogCalls;
std::string answerPath;

BOOL answerDialog(OPENFILENAMEA* dialog, bool save)
{
    dialogCalls.push_back({dialog->nFilterIndex, dialog->Flags, dialog->nMaxFile,
                           dialog->lpstrDefExt ? dialog->lpstrDefExt : "", save});
    if (answerPath.empty())
        return FALSE;
    std::strncpy(dialog->lpstrFile, answerPath.c_str(), dialog->nMaxFile);
    return TRUE;
}

class ProtocolSaveTest : public ProtocolTest {
protected:
    void SetUp() override
    {
        ProtocolTest::SetUp();
        dialogCalls.clear();
        answerPath.clear();
        setFileDialogHook(answerDialog);
    }

    // What the family's writer makes of the protocol in the buffer.
    std::vector<unsigned char> expectedFile(const char* const* texts)
    {
        const std::filesystem::path path = out_ / "expected.csv";
        const ProtocolData protocol = {protocolBuffer, workBufferSize, appState.protocolCount};
        EXPECT_TRUE(writeProtocolCsv(appState.family, path, protocol, texts));
        return readBytes(path);
    }

    TempDir out_;
};

} // namespace

TEST_F(ProtocolSaveTest, KSaveUsesItsOwnDialogSettingsAndTheFamilyWriter)
{
    startAs(selectionIdEnglish, selectionIdK);
    loadProtocol(60);
    HWND display = openDisplay();
    ASSERT_NE(display, nullptr);

    // Cancelled: nothing written, nothing shown.
    menuCommand(commandProtocolSave);
    EXPECT_TRUE(recordedMessageBoxes().empty());
    EXPECT_TRUE(std::filesystem::is_empty(out_.path()));
    EXPECT_STREQ(fileDialog.lpstrDefExt, "cbf");

    const std::filesystem::path target = out_ / "protocol.csv";
    answerPath = target.string();
    menuCommand(commandProtocolSave);
    ASSERT_EQ(dialogCalls.size(), 2u);
    EXPECT_TRUE(dialogCalls[1].save);
    EXPECT_EQ(dialogCalls[1].filterIndex, 3u);
    EXPECT_EQ(dialogCalls[1].flags, 0x2006u);
    EXPECT_EQ(dialogCalls[1].maxFile, 260u);
    EXPECT_EQ(dialogCalls[1].defaultExtension, "csv");
    // The configuration dialogs share the record and keep their extension.
    EXPECT_STREQ(fileDialog.lpstrDefExt, "cbf");
    EXPECT_EQ(readBytes(target), expectedFile(englishTexts));
    expectBox(onlyMessageBox(), "Protocol-File saved !", "K-Series", MB_ICONINFORMATION);
    EXPECT_TRUE(IsWindow(display));
}

TEST_F(ProtocolSaveTest, GermanMSeriesFileAndAFailedSave)
{
    startAs(selectionIdGerman, selectionIdM);
    loadProtocol(60);
    answerPath = (out_ / "chiller.csv").string();
    menuCommand(commandProtocolSave);
    EXPECT_EQ(readBytes(out_ / "chiller.csv"), expectedFile(germanTexts));
    expectBox(onlyMessageBox(), "Protokoll-Datei gesichert !", "M-Series", MB_ICONINFORMATION);

    // A folder that does not exist: text 101 with the error icon, no file.
    answerPath = (out_ / "missing" / "chiller.csv").string();
    menuCommand(commandProtocolSave);
    expectBox(onlyMessageBox(), "Sicherung fehlgeschlagen !", "M-Series", MB_ICONERROR);
    EXPECT_FALSE(std::filesystem::exists(out_ / "missing"));
}
