// info: which unit is attached.
#include <nlohmann/json.hpp>

#include "cli/cli_commands.h"
#include "cli/cli_unit.h"
#include "cli/console_text.h"
#include "monitor/monitor_format.h"

int commandInfo(const CliContext& context)
{
    UnitInfo unit;
    const int code = openUnit(context, unit);
    if (code != exitOk)
        return code;
    char firmware[monitorTextSize];
    formatFirmware(unit.firmware, firmware);
    const std::string connection = unitAddress(context);
    if (context.json) {
        const nlohmann::ordered_json document = {{"family", familyName(unit.family)},
                                                 {"unit_kind", unit.kind},
                                                 {"firmware", firmware},
                                                 {"firmware_word", unit.firmware},
                                                 {"product", utf8FromCp1252(unit.product)},
                                                 {"connection", connection}};
        context.out << document.dump(2) << '\n';
        return exitOk;
    }
    context.out << "Family:      " << familyName(unit.family) << '\n'
                << "Unit kind:   " << static_cast<int>(unit.kind) << '\n'
                << "Firmware:    " << firmware << '\n'
                << "Product:     " << terminalTextFromCp1252(unit.product) << '\n'
                << "Connection:  " << connection << '\n';
    return exitOk;
}
