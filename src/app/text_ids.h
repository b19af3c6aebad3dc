#pragma once

// The texts the code names, by their index in the text tables (texts.h):
// uiText[textNoUnitFound] is "No Control Unit found" or "Keine Steuerung
// gefunden". Layout tables (group boxes, rows, columns) keep their indices
// as data. Unscoped: a text id is an index, and ids count on from others
// (textFamilyNameK + family).
enum TextId : int {
    textProgramName = 0,
    textFamilyNameK = 1,              // "K-Series"; 2 "M-Series"
    textFamilyNameM = 2,
    textConfigurationTitle = 6,       // "Configuration:": base title, caption of check and file messages
    textOff = 16,                     // "Off", then "On"
    textOn = 17,
    textFirstConfigButton = 37,       // 37..42: "Read out" .. "Close"
    kSeriesFailureTextBase = 42,            // + failure number: the K-Series check's messages
    textNoUnitFound = 63,
    textNoUnitConnected = 64,
    textConfigTitlePrefixK = 65,      // "K-Series Configuration / Connect to: "
    textCommunicationLost = 66,
    textFirstWrongKind = 67,          // 67..72: "False ControlUnit (...)" for kinds 0..5
    textUnknownUnit = 73,
    textFirmwareMismatchK = 74,       // "of ControlUnitK not match !"
    textWriteFailed = 75,
    textProgrammed = 76,
    textConfigurationRead = 77,
    textFileNotFound = 78,
    textFileWrongUnit = 79,
    textFileWrongVersion = 80,
    textFileInvalid = 81,
    textFileError = 82,
    textFileCrcError = 83,
    textRunningCounter = 84,
    textCountersRead = 93,
    textCountersTitlePrefix = 94,     // "K-Series Running Counter / Connect to: "
    textReadProtocol = 95,
    textBreak = 96,
    textNoEntries = 97,
    textEntriesRead = 98,             // " protocol-items read !", after the count
    textReadProtocolTitlePrefix = 99,
    textProtocolSaved = 100,
    textSaveFailed = 101,
    firstHeaderTextK = 102,           // the K-Series protocol's column headers
    textProtocolDisplayK = 109,
    displayNumberText = 110,          // "<No.>"
    textMonitor = 111,
    textDefaultSettings = 112,
    textOutputs = 113,
    textInputs = 114,
    textTemperaturesVoltage = 115,
    textSystemStatus = 116,
    textManualControl = 121,
    textHighPressureSwitch = 122,
    textLowPressureSwitch = 123,
    textFirstTemperatureK = 126,      // 126..128: the K-Series monitor's temperatures and voltage
    textSystemError = 129,
    textErrorCode = 130,
    textFunctionMode = 137,
    textMonitorTitlePrefix = 141,     // "Monitor: Connect to: "
    textRestartLockBefore = 142,      // "Next Compressor-Start possible in ", seconds, then 143
    textRestartLockAfter = 143,
    textNoValveControl = 144,
    textFlowSwitchOff = 175,          // "Off", "NO", "NC"
    mSeriesFailureTextBase = 183,           // + failure number: the M-Series check's messages
    textConfigTitlePrefixM = 201,
    textFirmwareMismatchM = 202,
    textFirstTemperatureM = 216,      // the M-Series monitor's temperatures and voltage
    textNoCompressorStart = 268,
    firstHeaderTextM = 269,
    textProtocolDisplayM = 287,
    textManualControlNote = 288,      // "IMPORTANT ! Unit must be switched off ..."
    textDisplayHint = 289,            // followed by 290
};
