// Command 42: its own dialog settings, the family writer's bytes, texts 100
// and 101.
#include "protocol_fixture.h"

#include "app/texts.h"
#include "protocol/protocol_csv.h"

TEST_F(ProtocolTest, SaveWritesTheFamilyFileThroughItsOwnDialogSettings)
{
    startAs(selectionIdGerman, selectionIdM);
    loadProtocol(60);
    TempDir out;
    menuCommand(commandProtocolSave);
    EXPECT_TRUE(takeMessageBoxes().empty()) << "cancelled: nothing shown, nothing written";
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));

    answerFileDialogs((out / "chiller.csv").string());
    menuCommand(commandProtocolSave);
    ASSERT_EQ(dialogs().size(), 2u);
    const DialogRecord& seen = dialogs().back();
    EXPECT_TRUE(seen.save && seen.filterIndex == 3 && seen.flags == 0x2006 && seen.maxFile == 260);
    EXPECT_EQ(seen.defaultExtension, "csv");
    // The configuration dialogs share the record and keep their extension.
    EXPECT_STREQ(fileDialog.lpstrDefExt, "cbf");
    const ProtocolData protocol = {protocolBuffer, workBufferSize, appState.protocolCount};
    ASSERT_TRUE(writeProtocolCsvM(out / "expected.csv", protocol, germanTexts));
    EXPECT_EQ(readBytes(out / "chiller.csv"), readBytes(out / "expected.csv"));
    expectBox(takeBoxes(1)[0], "Protokoll-Datei gesichert !", "M-Series", MB_ICONINFORMATION);

    // A folder that does not exist: text 101 with the error icon, no file.
    answerFileDialogs((out / "missing" / "chiller.csv").string());
    menuCommand(commandProtocolSave);
    expectBox(takeBoxes(1)[0], "Sicherung fehlgeschlagen !", "M-Series", MB_ICONERROR);
    EXPECT_FALSE(std::filesystem::exists(out / "missing"));
}
