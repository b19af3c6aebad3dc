// Command 42: its own dialog settings, the family writer's bytes, texts 100
// and 101.
#include "protocol_fixture.h"

#include "app/texts.h"
#include "protocol/protocol_csv.h"

namespace {

OPENFILENAMEA seen;         // the dialog as last opened
int saveDialogs = 0;
std::string answerPath;     // empty: the user cancels

BOOL answerDialog(OPENFILENAMEA* dialog, bool save)
{
    seen = *dialog;
    saveDialogs += save;
    if (answerPath.empty())
        return FALSE;
    std::strncpy(dialog->lpstrFile, answerPath.c_str(), dialog->nMaxFile);
    return TRUE;
}

} // namespace

TEST_F(ProtocolTest, SaveWritesTheFamilyFileThroughItsOwnDialogSettings)
{
    answerPath.clear();
    saveDialogs = 0;
    setFileDialogHook(answerDialog);
    startAs(selectionIdGerman, selectionIdM);
    loadProtocol(60);
    TempDir out;
    menuCommand(commandProtocolSave);
    EXPECT_TRUE(recordedMessageBoxes().empty()) << "cancelled: nothing shown, nothing written";
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));

    answerPath = (out / "chiller.csv").string();
    menuCommand(commandProtocolSave);
    EXPECT_EQ(saveDialogs, 2);
    EXPECT_TRUE(seen.nFilterIndex == 3 && seen.Flags == 0x2006 && seen.nMaxFile == 260);
    EXPECT_STREQ(seen.lpstrDefExt, "csv");
    // The configuration dialogs share the record and keep their extension.
    EXPECT_STREQ(fileDialog.lpstrDefExt, "cbf");
    const ProtocolData protocol = {protocolBuffer, workBufferSize, appState.protocolCount};
    ASSERT_TRUE(writeProtocolCsvM(out / "expected.csv", protocol, germanTexts));
    EXPECT_EQ(readBytes(out / "chiller.csv"), readBytes(out / "expected.csv"));
    expectBox(onlyMessageBox(), "Protokoll-Datei gesichert !", "M-Series", MB_ICONINFORMATION);

    // A folder that does not exist: text 101 with the error icon, no file.
    answerPath = (out / "missing" / "chiller.csv").string();
    menuCommand(commandProtocolSave);
    expectBox(onlyMessageBox(), "Sicherung fehlgeschlagen !", "M-Series", MB_ICONERROR);
    EXPECT_FALSE(std::filesystem::exists(out / "missing"));
}
